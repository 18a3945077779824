// The module's one record of run data, and the context every procedure gets.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/exit_inputs.h"
#include "core/options.h"
#include "core/run_end.h"
#include "platform/platform_ops.h"

namespace ruskel {

// A line of a sequence that is not a key event: a pause, a wait for the
// emulator to show something, or a click.
enum class StepKind : std::uint8_t { Pause, Pixel, Title, Idle, Click };

struct WalkStep {
  StepKind kind = StepKind::Pause;
  std::uint32_t ms = 0;      // Pause
  std::int32_t x = 0;        // Pixel, Click: a point of the window's client area
  std::int32_t y = 0;
  std::uint32_t colour = 0;  // Pixel: 0xRRGGBB
  std::string text;          // Title: as written, {game} still in it
  int line = 0;              // of lconfig.ini, for the log
  bool operator==(const WalkStep&) const = default;
};

struct KeyStep {
  std::string key;     // virtual-key code as written; empty marks the end of the sequence
  std::string action;  // "down" or "up" once trimmed; anything else sends nothing
  // Set for a wait or click line; key then holds the line and action is empty.
  std::optional<WalkStep> step;
};

inline constexpr std::size_t kSequenceSlots = 21;
inline constexpr std::size_t kGameListSlots = 401;
inline constexpr std::size_t kHandleLines = 2;

using KeySequence = std::array<KeyStep, kSequenceSlots>;

// A {game NAME} section: what one rom gets instead of the file's values.
struct GameSection {
  std::string name;                     // as written in "{game NAME}"
  int line = 0;                         // of the "{game NAME}" line
  int slot = -1;                        // the game-list slot the lookup finds for name
  RunOptions options;                   // the file's options with the section's on top
  std::vector<std::string> optionsSet;  // the options the section sets, in file order
  std::optional<std::int32_t> miscDelay;
  std::optional<KeySequence> miscSeq;
};

struct RunState {
  std::string UsageText;
  std::string RomName;
  std::string ExitKeyText;
  std::string ExitButtonText;
  std::string WindowTitle;
  std::string CloseMode;
  KeySequence StartupSeq;
  KeySequence SelectSeq;
  KeySequence EnterSeq;
  KeySequence MiscSeq;
  std::int32_t MiscDelay = 0;
  std::array<std::string, kGameListSlots> GameList;
  std::string EmulatorCommand;
  std::optional<ExitKeyCode> ExitKey;    // none: no key ends the run
  std::optional<ButtonMask> ExitButton;  // none: no button ends the run
  std::int16_t GameIndex = 0;
  WindowHandle EmulatorWindow = 0;
  RunOptions Options;                     // the {options} section; defaults when the file has none
  std::vector<GameSection> GameSections;  // in file order, at most one per slot
  int GameSectionApplied = -1;            // index into GameSections once the rom's is merged
  // The emulator's processes: the one started, and the owner of the window
  // found by title (a launcher may have started it and gone).
  ProcessId StartedProcess = 0;
  ProcessId EmulatorProcess = 0;
  std::uint64_t StartedAtMs = 0;  // when Main began, for the log's times
  std::uint64_t EmulatorStartedAtMs = 0;  // for the launch time in the log
  std::string LogPath;            // empty: no log, or it could not be written
  bool CurtainShown = false;
  // Keys ruskel has pressed and not yet released, in the order pressed.
  std::vector<std::uint8_t> KeysHeld;
  bool ElevationShown = false;  // the elevation message, at most once a run
  bool AnotherRunOn = false;    // a run from the same folder holds the launch: this one ends
};

// One timer, one job. Timkey: the window wait and the menu walk; timWfExit:
// pad readings and exit holds; misc: the misc sequence; closeWait: the close
// ladder's waits; curtain: the curtain's settle after the walk; keyLook: the
// exit key's state where key events may not come.
enum class TimerId : int {
  Timkey = 1,
  timWfExit = 2,
  misc = 3,
  closeWait = 4,
  curtain = 5,
  keyLook = 6,
};

// The invisible host of the run's timers. Declared here so that start-up can
// create it and arm timers without knowing how ticks are delivered.
class TimerHost {
 public:
  virtual ~TimerHost() = default;
  // The host window the timers and events live on; a failure ends the run.
  virtual void Create() = 0;
  virtual void Start(TimerId timer) = 0;
  virtual void Stop(TimerId timer) = 0;
  virtual void SetInterval(TimerId timer, std::uint32_t intervalMs) = 0;
  virtual std::uint32_t Interval(TimerId timer) const = 0;
  // The emulator has been started: wait for its window, watch for the exit.
  virtual void BeginRun() = 0;
  // The one end of every run, errors included: the desktop put back, the box
  // of an error shown, the front handed back, the process ended.
  [[noreturn]] virtual void Finish(const RunEnd& end) = 0;
};

// Exit codes of the process, for front ends and scripts that look at them.
enum ExitCode : int {
  kExitNormal = 0,         // exit key or button, also before any window matched (logged so)
  kExitUsage = 1,          // started without arguments
  kExitConfigError = 2,    // lconfig.ini missing or malformed
  kExitStartError = 3,     // the emulator could not be started
  kExitRomNotListed = 4,   // the rom is not in the game list; the emulator was closed
  kExitInternal = 5,       // a sequence step that cannot be played
  kExitEmulatorEnded = 6,  // the emulator ended by itself; nothing was posted
  kExitEmulatorLeft = 7,   // the emulator did not quit when asked (or showed no window to
                           // ask) and was left running
  kExitNoFocus = 8,        // the emulator did not come to the front within focuswait
  kExitSystemRefused = 9,  // Windows refused the event window, a timer or the key watch
  kExitWaitTimedOut = 10,  // a wait step of a sequence was not met within waitlimit; closed
  kExitAnotherRun = 11,    // a run from the same folder is on: nothing was started or typed
};

// One run: the shared state, the platform and the timer host.
struct Mainmod {
  RunState& State;
  Platform Os;
  TimerHost& Form;
};

}  // namespace ruskel
