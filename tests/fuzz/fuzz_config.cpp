// Arbitrary bytes as lconfig.ini: the real start path reads them on the
// simulated Windows and, when they load, the run plays its sequences and ends
// on the exit key. Checks what must hold for any file the loader accepts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/config_loader.h"
#include "core/emulator_path.h"
#include "core/game_section.h"
#include "core/game_selection.h"
#include "core/number.h"
#include "core/options.h"
#include "core/text.h"
#include "core/window_match.h"
#include "dialogue.h"
#include "platform/cp1252_upper.h"
#include "require.h"
#include "run_harness.h"

namespace ruskel::fuzz {
namespace {

constexpr const char* kArguments = "-alpha -keyx27";
constexpr const char* kRom = "ALPHA";
constexpr std::int32_t kLongestMiscWait = 20;  // keeps each run short
// A paced key costs a timer tick, a re-arm and a focus check; a walk of
// thousands of them made one file cost as much as twenty. Walks longer than
// this are typed back to back (keydelay=0): still every key of the whole walk,
// while the pacing is exercised by the shorter walks.
constexpr std::size_t kLongestPacedWalk = 64;
// A walk with steps meets the exit key this soon after the start, mid-walk.
constexpr std::uint64_t kStepsExitAfterMs = 250;

bool IsTrimmedLine(const std::string& text) {
  return text == Trim(text) && text.find_first_of("\r\n") == std::string::npos;
}

bool SameSequence(const KeySequence& a, const KeySequence& b) {
  return std::equal(a.begin(), a.end(), b.begin(), [](const KeyStep& x, const KeyStep& y) {
    return x.key == y.key && x.action == y.action;
  });
}

// Every option as shown reads back to the same setting.
void CheckOptions(const RunOptions& options) {
  for (const OptionRow& row : OptionTable()) {
    RunOptions again;
    const std::string shown = row.show(options);
    // "(none)", "(middle of the right edge)": unset, nothing to write back.
    if (shown.front() == '(') continue;
    Require(!row.parse(shown, again).has_value(), "a shown option value parses");
    Require(row.show(again) == shown, "a shown option value reads back the same");
  }
}

std::vector<std::string> Described(const RunState& s) {
  return DescribeOptions(s.Options);
}

bool SameConfig(const RunState& a, const RunState& b) {
  if (Described(a) != Described(b)) return false;
  return a.WindowTitle == b.WindowTitle && a.CloseMode == b.CloseMode &&
         SameSequence(a.StartupSeq, b.StartupSeq) && SameSequence(a.SelectSeq, b.SelectSeq) &&
         SameSequence(a.EnterSeq, b.EnterSeq) && SameSequence(a.MiscSeq, b.MiscSeq) &&
         a.MiscDelay == b.MiscDelay && a.GameList == b.GameList &&
         a.EmulatorCommand == b.EmulatorCommand;
}

// The closing tag sits in the last filled slot, nothing follows it, and every
// step that sends a key names a code that fits a byte.
void CheckSequence(const KeySequence& sequence, const std::string& name) {
  std::size_t last = sequence.size();
  for (std::size_t i = 0; i < sequence.size(); ++i) {
    if (!sequence[i].key.empty() || !sequence[i].action.empty()) last = i;
  }
  Require(last < sequence.size(), "a loaded sequence holds its closing tag");
  Require(sequence[last].key == "{" && sequence[last].action == name + "}",
          "the closing tag is the last filled slot of a sequence");
  for (std::size_t i = 0; i <= last; ++i) {
    const KeyStep& step = sequence[i];
    Require(step.key.find_first_of("\r\n") == std::string::npos &&
                step.action.find_first_of("\r\n") == std::string::npos,
            "step fields hold no line end");
    // A wait or click keeps its whole line, and a title may hold a slash ("AC/DC").
    if (step.step) {
      Require(step.action.empty(), "a wait or click line sends no key");
      continue;
    }
    Require(step.key.find('/') == std::string::npos && step.action.find('/') == std::string::npos,
            "key fields hold no slash");
    const std::string action = Trim(step.action);
    if (action == "down" || action == "up") {
      Require(ReadWholeNumber(step.key, 0, 255).has_value(),
              "every down/up step has a key code from 0 to 255");
    }
  }
  // A table without an empty key fills all 21 slots.
  bool endsAtEmptyKey = std::any_of(sequence.begin(), sequence.end(),
                                    [](const KeyStep& step) { return step.key.empty(); });
  Require(endsAtEmptyKey || last == sequence.size() - 1,
          "a sequence ends at an empty key or fills every slot");
}

void CheckGameList(const RunState& s) {
  std::size_t last = s.GameList.size();
  for (std::size_t i = 0; i < s.GameList.size(); ++i) {
    if (!s.GameList[i].empty()) last = i;
  }
  Require(last < s.GameList.size(), "a loaded game list holds its closing tag");
  Require(s.GameList[last] == "{/gamelist}", "{/gamelist} follows the game names");
  for (std::size_t i = 0; i < last; ++i) {
    Require(s.GameList[i] != "{/gamelist}", "no game name is the closing tag");
    Require(IsTrimmedLine(s.GameList[i]), "game names are trimmed lines");
  }
}

void CheckLoaded(const RunState& s) {
  Require(IsTrimmedLine(s.WindowTitle) && IsTrimmedLine(s.CloseMode),
          "handle lines are trimmed lines");
  Require(s.WindowTitle != "{/handles}" && s.CloseMode != "{/handles}",
          "the handles closing tag is not stored");
  CheckSequence(s.StartupSeq, "startup");
  CheckSequence(s.SelectSeq, "selectsequence");
  CheckSequence(s.EnterSeq, "entersequence");
  CheckSequence(s.MiscSeq, "misc");
  Require(s.MiscDelay >= 0 && s.MiscDelay <= 65535, "MiscDelay is a timer interval");
  CheckGameList(s);
  Require(s.EmulatorCommand.find('=') == std::string::npos &&
              s.EmulatorCommand.find_first_of("\r\n") == std::string::npos,
          "the emulator command is the text between the first two '='");
}

// Every section names a listed game of its own, loads only with options that
// go together, and is what the run of its rom got.
void CheckGameSections(const RunState& s, TextOps& text) {
  std::vector<int> slots;
  for (const GameSection& section : s.GameSections) {
    Require(section.slot >= 0 && section.slot < GameListLength(s),
            "a game section belongs to a listed game");
    Require(GameSlot(s, text, section.name) == section.slot,
            "a game section's name finds its game as a rom name would");
    Require(std::find(slots.begin(), slots.end(), section.slot) == slots.end(),
            "at most one game section per game");
    slots.push_back(section.slot);
    Require(!CheckWalkOptions(section.options), "a game section's options go together");
    CheckOptions(section.options);
    if (section.miscSeq) CheckSequence(*section.miscSeq, "misc");
    if (section.miscDelay) {
      Require(*section.miscDelay >= 0 && *section.miscDelay <= 65535,
              "a game section's misc delay is a timer interval");
    }
  }
  const int romSlot = GameSlot(s, text, kRom);
  const auto own = std::find(slots.begin(), slots.end(), romSlot);
  if (romSlot < 0 || own == slots.end()) {
    Require(s.GameSectionApplied == -1, "no game section applies to a rom without one");
    return;
  }
  Require(s.GameSectionApplied == own - slots.begin(), "the rom's own game section applies");
  const GameSection& section = s.GameSections[static_cast<std::size_t>(own - slots.begin())];
  Require(DescribeOptions(s.Options) == DescribeOptions(section.options),
          "the run has the options of the rom's game section");
  if (section.miscDelay) Require(s.MiscDelay == *section.miscDelay, "the section's misc delay");
  if (section.miscSeq) Require(SameSequence(s.MiscSeq, *section.miscSeq), "the section's misc");
}

// Whether a sequence the run may play holds a wait or click step.
bool HasSteps(const RunState& s) {
  for (const KeySequence* sequence : {&s.StartupSeq, &s.SelectSeq, &s.EnterSeq, &s.MiscSeq}) {
    for (const KeyStep& step : *sequence) {
      if (step.key.empty() && !step.step) break;
      if (step.step) return true;
    }
  }
  return false;
}

// At the exit ruskel lets go of every key it still holds: key-ups only; the
// pointer and cursors are as before. Returns the key events sent before exitAt
// (0: the run ended before any exit).
std::size_t CheckEnd(FakePlatform& os, std::uint64_t exitAt) {
  std::size_t walked = 0;
  for (const auto& event : os.events()) {
    if (event.what.rfind("Key ", 0) != 0) continue;
    if (exitAt == 0 || event.time < exitAt) {
      ++walked;
    } else {
      Require(event.what.find(" up") != std::string::npos, "after the exit only key-ups are sent");
    }
  }
  Require(os.pointer == FakePlatform{}.pointer && !os.cursorsBlank && !os.cursorsMarkedBlank,
          "the pointer and the system cursors are as before the run");
  return walked;
}

// An end mid-walk: the walk may type a key in the very ms of the exit, before
// ruskel has seen it; once the close has begun (the key watch ends), only
// key-ups are sent.
void CheckEndMidWalk(FakePlatform& os) {
  bool closing = false;
  for (const auto& event : os.events()) {
    if (event.what == "WatchKeys off") closing = true;
    if (closing && event.what.rfind("Key ", 0) == 0) {
      Require(event.what.find(" up") != std::string::npos, "after the exit only key-ups are sent");
    }
  }
  CheckEnd(os, 0);
}

// Key events one play of the sequence sends.
std::size_t KeysSent(const KeySequence& sequence) {
  std::size_t count = 0;
  for (const KeyStep& step : sequence) {
    if (step.key.empty()) break;
    const std::string action = Trim(step.action);
    if (action == "down" || action == "up") ++count;
  }
  return count;
}

// The distinct keys a sequence leaves down: ruskel lets go of them when the
// run closes.
std::size_t KeysLeftDown(const KeySequence& sequence) {
  std::vector<std::int32_t> down;
  for (const KeyStep& step : sequence) {
    if (step.key.empty()) break;
    const std::string action = Trim(step.action);
    const auto key = ReadWholeNumber(step.key, 0, 255);
    if (!key) continue;
    const auto at = std::find(down.begin(), down.end(), *key);
    if (action == "down" && at == down.end()) down.push_back(*key);
    if (action == "up" && at != down.end()) down.erase(at);
  }
  return down.size();
}

// Where the run must find the rom: the first matching name before any blank one.
int ExpectedGameIndex(const RunState& s) {
  for (std::size_t i = 0; i < s.GameList.size(); ++i) {
    if (s.GameList[i].empty()) break;
    if (UpperCp1252(s.GameList[i]) == kRom) return static_cast<int>(i);
  }
  return -1;
}

void RunOnce(const std::string& bytes) {
  testing::SimulatedRun run;
  FakePlatform& os = run.os;
  run.WriteConfig(bytes);

  RunState parsedAlone;
  const bool loads = !ParseConfig(bytes, parsedAlone).has_value();
  if (loads) {
    parsedAlone.RomName = kRom;
    ApplyGameSection(parsedAlone, os);
  }
  // Most commands name a program that is there; the rest must fail cleanly.
  std::optional<EmulatorProgram> program;
  if (loads) {
    const std::string& command = parsedAlone.EmulatorCommand;
    const std::string first = command.substr(0, command.find(' '));
    if (!first.empty() && first.find('"') == std::string::npos) {
      os.files[os.programDir + "\\" + first] = "MZ";
    }
    program = FindEmulatorProgram(os.programDir, command, [&os](const std::string& path) {
                return os.files.count(path) != 0;
              }).found;
  }

  const bool started = run.Start(kArguments);
  Require(started == (loads && program.has_value()),
          "the run starts exactly when the parser accepts the file and the program is there");

  if (loads && !program) {
    Require(os.exitCode() == kExitStartError, "a missing program ends with the start error code");
    Require(os.TraceOf("StartProcess").empty(), "nothing is run when the program is not there");
    return;
  }
  if (!started) {
    Require(os.exitCode() == kExitConfigError, "a rejected file ends with the config error code");
    Require(os.TraceOf("ErrorBox: ").size() == 1, "a rejected file is reported once");
    Require(os.TraceOf("StartProcess").empty(), "no emulator starts on a rejected file");
    return;
  }

  RunState& s = *run.state;
  CheckLoaded(s);
  CheckOptions(s.Options);
  CheckGameSections(s, os);
  Require(SameConfig(s, parsedAlone), "loading the same bytes twice gives the same tables");
  const std::string expectedStart = "StartProcess app=" + program->path +
                                    " cmd=" + program->commandLine + " dir=" + os.programDir +
                                    "\\ inherit=1 flags=0x20" +
                                    (s.Options.killwithruskel ? " killwithruskel" : "");
  // Short delays keep each run quick; their effect on the walk is tested elsewhere.
  s.Options.keydelay = std::min<std::uint32_t>(s.Options.keydelay, 2);
  s.Options.startdelay = std::min<std::uint32_t>(s.Options.startdelay, 20);
  const std::uint64_t holdMs = s.Options.exithold;
  const auto starts = os.TraceOf("StartProcess");
  Require(starts.size() == 1 && starts[0] == expectedStart,
          "the emulator starts once, from the program folder");
  Require(os.TimerRunning(static_cast<int>(TimerId::Timkey)), "Timkey runs after start-up");

  // The emulator window is there from the start; the exit key comes once the
  // misc sequence has had its chance (when its delay is short enough).
  // It fits every window rule: its title is the title line, its class the one asked for.
  // Under the title null no window is waited for, but the emulator has one all
  // the same, and the exit asks it to quit.
  FakePlatform::Window window{testing::SimulatedRun::kEmulatorWindow,
                              testing::SimulatedRun::kEmulatorProcess, s.WindowTitle};
  if (!s.Options.windowclass.empty()) window.className = s.Options.windowclass;
  os.AddWindow(window);
  // A walk with wait or click steps lasts as long as the emulator takes, which
  // the key count cannot tell: its waits are kept short, and the exit key
  // comes mid-walk. It must end the run there, whether a wait is met, runs
  // out or the rom is not listed, and leave no key of ruskel's down.
  if (HasSteps(s)) {
    s.Options.waitlimit = std::min<std::uint32_t>(s.Options.waitlimit, 100);
    for (KeySequence* sequence : {&s.StartupSeq, &s.SelectSeq, &s.EnterSeq, &s.MiscSeq}) {
      for (KeyStep& step : *sequence) {
        if (step.step && step.step->kind == StepKind::Pause) {
          step.step->ms = std::min<std::uint32_t>(step.step->ms, 5);
        }
      }
    }
    const std::uint64_t exitAt = os.now() + kStepsExitAfterMs;
    os.PressKey(27, exitAt, exitAt + holdMs + 5);
    const auto exitCode = os.exitCode() ? os.exitCode() : os.RunUntil(exitAt + holdMs + 10);
    Require(exitCode == kExitNormal || exitCode == kExitWaitTimedOut ||
                exitCode == kExitRomNotListed,
            "a walk with steps ends by the exit key, a wait that runs out or an unlisted rom");
    CheckEndMidWalk(os);
    return;
  }

  const int gameIndex = ExpectedGameIndex(s);
  std::size_t keys = KeysSent(s.StartupSeq);
  int selects = 0;
  if (gameIndex < 0) {
    keys += KeysLeftDown(s.StartupSeq);  // let go of as the emulator is closed
  } else {
    // The walk options trade selects for one-key presses (down and up).
    const WalkPlan walk = PlanWalk(gameIndex, GameListLength(s), s.Options);
    selects = walk.Times(WalkKey::Select);
    keys += static_cast<std::size_t>(selects) * KeysSent(s.SelectSeq) +
            2 * static_cast<std::size_t>(walk.Presses() - selects) + KeysSent(s.EnterSeq);
    if (s.MiscDelay > 0 && s.MiscDelay <= kLongestMiscWait) keys += KeysSent(s.MiscSeq);
  }

  if (keys > kLongestPacedWalk) s.Options.keydelay = 0;
  RunDialogue(os, keys);
  const std::uint64_t exitAt =
      os.now() + static_cast<std::uint64_t>(std::min(s.MiscDelay, kLongestMiscWait)) + 5;
  // Held as long as exithold asks, and a little more.
  os.PressKey(27, exitAt, exitAt + holdMs + 5);
  const auto exitCode = os.exitCode() ? os.exitCode() : os.RunUntil(exitAt + holdMs + 10);

  if (gameIndex < 0) {
    Require(exitCode == kExitRomNotListed, "an unlisted rom ends the run");
    Require(s.GameIndex == -1, "an unlisted rom leaves GameIndex at -1");
  } else {
    Require(exitCode == kExitNormal, "the exit key ends the run");
    Require(s.GameIndex == gameIndex, "the rom is found at its first listed slot");
    if (s.Options.pagekey == 0 && s.Options.wrapkey == 0) {
      Require(selects == gameIndex, "without walk options the select sequence walks every line");
    }
  }
  Require(CheckEnd(os, exitAt) == keys, "every down/up step is sent once per play");
}

}  // namespace
}  // namespace ruskel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ruskel::fuzz::RunOnce(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
