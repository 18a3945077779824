// A whole wrapper run on the fake platform: state, Form1 and the simulated world.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/mainmod.h"
#include "driver/form1.h"
#include "fake_platform.h"

namespace ruskel {

// The loader as the simulated Windows runs it (game names upper-cased as
// Windows-1252), for tests that only read a file.
std::optional<std::string> ParseConfig(std::string_view bytes, RunState& state);

}  // namespace ruskel

namespace ruskel::testing {

// An lconfig.ini assembled from its parts; defaults give a valid file.
struct ConfigText {
  std::vector<std::string> handles = {"My Emulator", "title"};
  std::vector<std::string> startup = {"13/down", "13/up"};
  std::vector<std::string> select = {"40/down", "40/up"};
  std::vector<std::string> enter = {"13/down", "13/up"};
  std::string timer = "timer=0";
  std::vector<std::string> misc = {};
  std::vector<std::string> games = {"alpha", "beta", "gamma"};
  std::string exe = "exe=emulator.exe";
  std::vector<std::string> options = {};  // an {options} section after exe= when not empty
  std::vector<std::string> tail = {};     // lines after all of these, such as {game} sections
  std::string eol = "\r\n";

  std::string Build() const;
};

// Game names game00, game01, ... with mygame in slot `slot`.
std::vector<std::string> GamesWith(const std::string& name, std::size_t slot, std::size_t count);

class SimulatedRun {
 public:
  static constexpr WindowHandle kEmulatorWindow = 0x2a;
  static constexpr ProcessId kEmulatorProcess = FakePlatform::kFirstStartedProcess;

  SimulatedRun();

  FakePlatform os;
  std::unique_ptr<RunState> state = std::make_unique<RunState>();
  Form1 form{os, *state};
  Mainmod& m = form.Run();

  void WriteConfig(const std::string& text);
  void WriteConfig(const ConfigText& config) { WriteConfig(config.Build()); }
  // The emulator's window, titled "My Emulator", exists from `at` ms on.
  void EmulatorWindowAppears(std::uint64_t at = 0, std::uint64_t visibleAt = 0);
  // Runs Main with the argument text; true when Main returned normally.
  bool Start(const std::string& arguments);
  // The usual start: the file, the emulator's window from windowAt ms on, Main.
  bool Begin(const ConfigText& config, const std::string& arguments, std::uint64_t windowAt = 0);
  std::optional<int> RunFor(std::uint64_t ms) { return os.RunUntil(os.now() + ms); }

  // Key events as "13d" / "13u" tokens joined by blanks, for compact expectations.
  std::string Keys() const;
};

// "13d 13u" repeated: a sequence's keys n times.
std::string Repeat(const std::string& keys, int times);

// WM_QUIT to the emulator's window, as the fake records it.
inline const std::string kQuitEmulator = "PostMessage 0x2a 0x12 0 0";

// When the nth event starting with `what` happened; FakePlatform::kNever if it did not.
std::uint64_t TimeOf(const FakePlatform& os, const std::string& what, std::size_t nth = 0);
// When each key event was sent.
std::vector<std::uint64_t> KeyTimes(const FakePlatform& os);

}  // namespace ruskel::testing
