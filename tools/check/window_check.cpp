#include "tools/check/window_check.h"

#include "core/emulator_window.h"
#include "core/startup.h"
#include "core/text.h"
#include "core/window_match.h"
#include "core/window_survey.h"
#include "tools/check/check_plan.h"
#include "tools/check/no_timers.h"

namespace ruskel::check {
namespace {

std::string Seconds(std::uint64_t ms) {
  std::string out = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    out += '.';
    out += std::to_string(ms % 1000 / 100);
  }
  return out + " s";
}

// Waits until the process has ended or ms have passed; true when it ended.
bool WaitForEnd(Mainmod& m, ProcessId process, std::uint64_t ms) {
  const std::uint64_t until = m.Os.events.NowMs() + ms;
  while (m.Os.processes.IsProcessRunning(process)) {
    if (m.Os.events.NowMs() >= until) return false;
    m.Os.events.Pause(kWindowsLookMs);
  }
  return true;
}

// Waits for the emulator's windows: until they have stayed the same a while,
// a key, or the longest wait.
std::vector<ShownWindow> WaitForWindows(Mainmod& m, const WindowCheckIo& io) {
  EventOps& clock = m.Os.events;
  const std::uint64_t start = clock.NowMs();
  std::uint64_t changedAt = start;
  std::vector<ShownWindow> windows;
  for (;;) {
    std::vector<ShownWindow> now = EmulatorWindows(m);
    const std::uint64_t at = clock.NowMs();
    if (!SameWindows(now, windows)) changedAt = at;
    windows = std::move(now);
    if (!windows.empty() && at - changedAt >= kWindowsSteadyMs) break;
    if (at - start >= kWindowsWaitMs || (io.keyPressed && io.keyPressed())) break;
    clock.Pause(kWindowsLookMs);
  }
  return windows;
}

void PrintWindows(Mainmod& m, const std::vector<ShownWindow>& windows, const WindowCheckIo& io) {
  if (windows.empty()) {
    io.print("the emulator shows no visible window");
    return;
  }
  io.print("the emulator shows " + std::to_string(windows.size()) +
           (windows.size() == 1 ? " window" : " windows, front first") + ":");
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const ShownWindow& w = windows[i];
    io.print("  " + Quoted(w.title) + " (class " + w.className + "), " +
             std::to_string(w.size.width) + " x " + std::to_string(w.size.height) + ", process " +
             std::to_string(w.process) + ": " + TakenByWords(m, windows, i));
  }
}

// Which window the run would take, in the run's own words; true when one of the emulator's.
bool PrintVerdict(Mainmod& m, const std::vector<ShownWindow>& windows, const WindowCheckIo& io) {
  const RunState& s = m.State;
  const std::string asked = "{handles} asks for " + AskedForWords(s);
  if (!LooksForWindow(s)) {
    io.print(
        "{handles} asks for the title \"null\": ruskel waits for no window and types into "
        "whatever has the focus");
    return true;
  }
  // The run's own choice, other programs' windows with the title included.
  const auto taken = ChooseEmulatorWindow(m, true);
  if (taken && InEmulatorTree(m, taken->processId)) {
    io.print(asked + ": ruskel takes " + Quoted(m.Os.windows.WindowTitle(taken->handle)) +
             " (class " + m.Os.windows.WindowClass(taken->handle) + ")" +
             (taken->visible ? "" : ", a hidden window"));
    return true;
  }
  if (taken) {
    io.print(asked + ": only " + Quoted(m.Os.windows.WindowTitle(taken->handle)) + " of process " +
             std::to_string(taken->processId) +
             ", not the emulator's, fits: ruskel would type into it after 5 s");
  }
  std::string line = asked + ": no window of the emulator fits";
  const std::string nearest = NearestTitle(s, windows);
  if (!nearest.empty() && s.Options.match != MatchRule::Own) {
    line +=
        "; the nearest title is " + Quoted(nearest) + ": copy it onto the first line of {handles}";
  }
  io.print(line);
  return false;
}

// WM_QUIT as the run's exit sends it, WM_CLOSE to its windows, then by force.
void CloseStarted(Mainmod& m, const WindowCheckIo& io) {
  RunState& s = m.State;
  ProcessOps& processes = m.Os.processes;
  const ProcessId started = s.StartedProcess;
  CloseRequest request = QuitMatchedWindow(m);
  if (request.window == 0) request = QuitOwnWindow(m);
  const ProcessId process = request.process != 0 ? request.process : started;
  if (request.window != 0) {
    io.print("closing the emulator: WM_QUIT posted to " +
             Quoted(m.Os.windows.WindowTitle(request.window)) +
             (request.postError.empty() ? "" : " (refused: " + request.postError + ")"));
    if (!WaitForEnd(m, process, kWindowsCloseWaitMs)) {
      const auto windows = m.Os.windows.TopWindowsOf(process);
      for (WindowHandle window : windows) m.Os.windows.PostWindowMessage(window, kWmClose, 0, 0);
      io.print("still running after " + Seconds(kWindowsCloseWaitMs) + ": WM_CLOSE posted to its " +
               std::to_string(windows.size()) + " windows");
      WaitForEnd(m, process, kWindowsCloseWaitMs);
    }
  }
  bool forced = false;
  for (ProcessId root : {process, started}) {
    if (root != 0 && processes.IsProcessRunning(root)) {
      processes.TerminateTree(root);
      forced = true;
    }
  }
  io.print(forced ? "the emulator was ended by force" : "the emulator has quit");
}

}  // namespace

int CheckWindows(RunState& state, Platform os, const std::string& programDir,
                 const WindowCheckIo& io) {
  ForgetDryRunEmulator(state);
  NoTimers host;
  Mainmod m{state, os, host};

  const EmulatorLaunch launch = PrepareEmulatorStart(state, programDir, os.files);
  if (!launch.program.found) {
    std::string tried;
    for (const std::string& path : launch.program.tried)
      tried += (tried.empty() ? "" : ", ") + path;
    io.print("the exe= line names no program in " + programDir + " (tried " + tried + ")");
    return kCheckFileBroken;
  }
  const ProcessStartResult started = os.processes.StartProcess(launch.start);
  if (!started.started) {
    io.print("cannot start " + launch.start.commandLine + ": " + started.error +
             (started.needsElevation ? " (the program asks to run as administrator)" : ""));
    return kCheckFileBroken;
  }
  state.StartedProcess = started.processId;
  io.print("started " + launch.start.commandLine + " in " + launch.start.workingDirectory +
           ", process " + std::to_string(started.processId));
  io.print("waiting up to " + Seconds(kWindowsWaitMs) +
           " for its windows; press a key to list them at once");
  const std::vector<ShownWindow> windows = WaitForWindows(m, io);
  PrintWindows(m, windows, io);
  const bool taken = PrintVerdict(m, windows, io);
  CloseStarted(m, io);
  return taken ? kCheckFileFine : kCheckFileBroken;
}

}  // namespace ruskel::check
