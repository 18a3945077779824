// Arbitrary argument text: through the parser alone, then through a whole
// simulated run with a valid configuration and the emulator window present.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/command_line.h"
#include "core/front_end.h"
#include "core/text.h"
#include "dialogue.h"
#include "driver/hand_over.h"
#include "platform/cp1252_upper.h"
#include "require.h"
#include "run_harness.h"

namespace ruskel::fuzz {
namespace {

constexpr std::uint32_t kHeldButtons = 4;
constexpr std::uint64_t kButtonsAt = 10;
constexpr std::uint64_t kEscapeAt = 200;  // after the button, which is read every 50 ms
constexpr std::uint64_t kRunFor = 300;

// Startup and enter send two keys each, a select two per slot; no misc.
constexpr const char* kConfig =
    "{handles}\r\nMy Emulator\r\ntitle\r\n{/handles}\r\n"
    "{startup}\r\n13/down\r\n13/up\r\n{/startup}\r\n"
    "{selectsequence}\r\n40/down\r\n40/up\r\n{/selectsequence}\r\n"
    "{entersequence}\r\n13/down\r\n13/up\r\n{/entersequence}\r\n"
    "timer=0\r\n{misc}\r\n{/misc}\r\n"
    "{gamelist}\r\nalpha\r\nbeta\r\nMy Game\r\nmygame\r\n{/gamelist}\r\n"
    "exe=emulator.exe\r\n";

bool IsTrimmed(const std::string& text) {
  return text == Trim(text);
}

bool HasNone(const std::string& text, const char* characters) {
  return text.find_first_of(characters) == std::string::npos;
}

void CheckParsed(const RunState& s) {
  Require(!s.ExitButton || *s.ExitButton != 0, "ExitButton is none or a non-zero mask");
  Require(!s.ExitKey || *s.ExitKey != 0, "ExitKey is none or a key code from 1 to 255");
  Require(!s.ExitKeyText.empty() || s.ExitKey == kDefaultExitKey, "no KEYX text gives Escape");
  Require(HasNone(s.RomName, "\\"), "RomName holds no backslash");
  Require(IsTrimmed(s.RomName), "RomName has no blank at either end");
  // Every marker and dash split the text, so no piece can hold one.
  Require(
      HasNone(s.RomName, "-/") && HasNone(s.ExitKeyText, "-/") && HasNone(s.ExitButtonText, "-/"),
      "argument fields hold no option separator");
  Require(IsTrimmed(s.ExitKeyText) && IsTrimmed(s.ExitButtonText), "option values are trimmed");
}

// The slot FindGame must find: the rom without a trailing ".zip", any case.
int ExpectedGameIndex(std::string rom) {
  if (rom.size() >= 4 && UpperAscii(rom.substr(rom.size() - 4)) == ".ZIP") {
    rom.erase(rom.size() - 4);
  }
  const char* games[] = {"ALPHA", "BETA", "MY GAME", "MYGAME"};
  for (int i = 0; i < 4; ++i) {
    if (UpperCp1252(rom) == games[i]) return i;
  }
  return -1;
}

void RunOnce(const std::string& text) {
  RunState parsed;
  ParseArgs(parsed, text);
  CheckParsed(parsed);

  testing::SimulatedRun run;
  FakePlatform& os = run.os;
  run.WriteConfig(kConfig);
  run.EmulatorWindowAppears();
  os.joystickPresent = true;

  const bool started = run.Start(text);
  if (text.empty()) {
    Require(!started && os.exitCode() == kExitUsage, "no arguments end with the usage message");
    Require(os.TraceOf("ReadFile").empty() && os.TraceOf("StartProcess").empty(),
            "the usage message touches nothing else");
    return;
  }
  Require(started, "any argument text starts the emulator");
  const RunState& s = *run.state;
  Require(s.RomName == parsed.RomName && s.ExitKeyText == parsed.ExitKeyText &&
              s.ExitButtonText == parsed.ExitButtonText && s.ExitButton == parsed.ExitButton,
          "the run parses the text as the parser alone does");
  Require(s.ExitKey == parsed.ExitKey, "the run reads the same exit key");

  // The exit inputs come after the dialogue: they are not watched before it.
  RunDialogue(os);
  const std::uint64_t playing = os.now();
  os.HoldButtons(kHeldButtons, playing + kButtonsAt, playing + kButtonsAt + kPadPollMs + 5);
  os.PressKey(27, playing + kEscapeAt, playing + kEscapeAt + 5);
  const auto exitCode = os.exitCode() ? os.exitCode() : os.RunUntil(playing + kRunFor);
  const int gameIndex = ExpectedGameIndex(parsed.RomName);
  const std::size_t keys = os.TraceOf("Key ").size();
  if (gameIndex < 0) {
    Require(exitCode == kExitRomNotListed && keys == 2, "an unlisted rom ends after startup");
    return;
  }
  Require(s.GameIndex == gameIndex, "the rom is found in its slot");
  Require(keys == 2 + 2 * static_cast<std::size_t>(gameIndex) + 2,
          "startup, one select per slot and enter are sent");
  const bool exitByButton = s.ExitButton == kHeldButtons;
  const bool exitByKey = s.ExitKey == 27;
  if (exitByButton || exitByKey) {
    Require(exitCode == kExitNormal, "the exit button or key ends the run");
    // The key is seen at its key-down, the button at the next pad reading; the
    // run ends once the input is let go, seen within one look.
    const std::uint64_t from = playing + (exitByButton ? kButtonsAt : kEscapeAt);
    const std::uint64_t released =
        exitByButton ? playing + kButtonsAt + kPadPollMs + 5 : playing + kEscapeAt + 5;
    // The hand-back then checks once that the front end holds the front.
    Require(os.now() >= from && os.now() <= released + kReleaseLookMs + kHandBackCheckMs,
            "the run ends once the exit input is seen and let go");
  } else {
    Require(!exitCode.has_value(), "other inputs leave the run going");
  }
}

}  // namespace
}  // namespace ruskel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ruskel::fuzz::RunOnce(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
