#include "driver/close_ladder.h"

#include "core/emulator_window.h"
#include "core/run_log.h"

namespace ruskel {

// WM_CLOSE goes where a user could close the emulator: its visible unowned
// windows (the task bar's own choice of windows) and the window it was
// matched by. A hidden helper window (a sound or input thread's, a DDE
// window) may tear down under the program's feet when closed; an owned one
// goes with its owner ("DestroyWindow function", learn.microsoft.com/windows/
// win32/api/winuser/nf-winuser-destroywindow).
std::vector<WindowHandle> CloseLadder::ClosableWindows(Mainmod& m, ProcessId process) {
  WindowOps& windows = m.Os.windows;
  const WindowHandle matched = m.State.EmulatorWindow;
  std::vector<WindowHandle> closable;
  for (WindowHandle window : windows.TopWindowsOf(process)) {
    if (window == matched || (windows.IsVisible(window) && windows.OwnerWindow(window) == 0)) {
      closable.push_back(window);
    }
  }
  return closable;
}

namespace {

void LogQuit(Mainmod& m, const CloseRequest& request, ProcessId process) {
  if (request.postError.empty()) {
    Log<Say::QuitPosted>(m, process);
  } else {
    // The ladder goes on: WM_CLOSE and the force may still reach it.
    Log<Say::QuitNotPosted>(m, process, request.postError);
  }
}

}  // namespace

std::optional<RunEnd> CloseLadder::Begin(Mainmod& m, bool matchedWindowOnly, int exitCode) {
  RunState& s = m.State;
  ProcessOps& processes = m.Os.processes;
  exitCode_ = exitCode;
  CloseRequest request = matchedWindowOnly ? QuitMatchedWindow(m) : CloseEmulator(m);
  if (matchedWindowOnly && request.window == 0) {
    // A title that matches nothing must not leave the emulator ruskel
    // started running: its own windows are asked instead.
    noneMatched_ = true;
    Log<Say::NoWindowMatched>(m);
    request = QuitOwnWindow(m);
  }
  ProcessId process = request.process;
  if (process == 0) process = s.EmulatorProcess != 0 ? s.EmulatorProcess : s.StartedProcess;
  if (request.window == 0) {
    const bool running = process != 0 && processes.IsProcessRunning(process);
    if (s.Options.terminate && running) {
      processes.TerminateTree(process);
      return End(exitCode, Compose<Say::NoWindowToCloseForced>());
    }
    // Still loading: the window it shows in a moment would cover the front
    // end once ruskel has gone. It gets one closewait to show one.
    if (running && s.Options.closewait > 0) {
      Log<Say::NoWindowYet>(m, s.Options.closewait);
      windowless_ = true;
      return Wait(m, process);
    }
    return End(exitCode, Compose<Say::NoWindowToClose>());
  }
  LogQuit(m, request, process);
  if (s.Options.closewait == 0) return End(exitCode, Compose<Say::NotWaiting>());
  if (process == 0 || !processes.IsProcessRunning(process)) return Quit();
  return Wait(m, process);
}

std::optional<RunEnd> CloseLadder::Wait(Mainmod& m, ProcessId process) {
  process_ = process;
  closeSent_ = false;
  m.Os.processes.WatchProcess(process);
  return std::nullopt;
}

void CloseLadder::QuitWithoutWaiting(Mainmod& m) {
  const ProcessId process = m.State.StartedProcess;
  if (process == 0) return;
  CloseRequest request = QuitMatchedWindow(m);
  if (request.window == 0) request = QuitOwnWindow(m);
  if (request.window != 0) {
    Log<Say::QuitPosted>(m, request.process != 0 ? request.process : process);
  } else if (m.Os.processes.IsProcessRunning(process) && m.Os.processes.TerminateTree(process)) {
    Log<Say::NoWindowToCloseForced>(m);
  }
}

std::optional<RunEnd> CloseLadder::WaitElapsed(Mainmod& m) {
  const RunOptions& options = m.State.Options;
  if (!m.Os.processes.IsProcessRunning(process_)) return Quit();
  if (windowless_) {
    // The ladder proper starts once a window has come.
    windowless_ = false;
    const CloseRequest request = QuitOwnWindow(m);
    if (request.window == 0) {
      return End(kExitEmulatorLeft, Compose<Say::NoWindowShown>(options.closewait));
    }
    LogQuit(m, request, process_);
    return std::nullopt;
  }
  if (!closeSent_) {
    closeSent_ = true;
    const auto windows = ClosableWindows(m, process_);
    std::string refused;
    for (WindowHandle window : windows) {
      const std::string error = m.Os.windows.PostWindowMessage(window, kWmClose, 0, 0);
      if (!error.empty() && refused.empty()) refused = Compose<Say::PostingFailed>(error);
    }
    Log<Say::StillRunning>(m, options.closewait, windows.size(), refused);
    return std::nullopt;
  }
  if (!options.terminate) {
    return End(kExitEmulatorLeft, Compose<Say::LeftRunning>());
  }
  if (m.Os.processes.TerminateTree(process_)) {
    return End(exitCode_, Compose<Say::EndedByForce>());
  }
  return End(kExitEmulatorLeft, Compose<Say::NotEndedByForce>());
}

std::optional<RunEnd> CloseLadder::ProcessEnded(ProcessId process) const {
  if (process_ != 0 && process == process_) return Quit();
  return std::nullopt;
}

}  // namespace ruskel
