#include "core/front_end.h"

#include "core/run_log.h"
#include "core/text.h"

namespace ruskel {
namespace {

// The front end's windows as the climb reads them.
struct Owned {
  bool any = false;  // a window other than a console
  bool shell = false;
  WindowHandle firstVisible = 0;
};

Owned WindowsOwnedBy(Mainmod& m, ProcessId process) {
  WindowOps& windows = m.Os.windows;
  Owned owned;
  for (WindowHandle window : windows.TopWindowsOf(process)) {
    const std::string className = windows.WindowClass(window);
    if (className == kConsoleClass) continue;
    if (IsShellClass(className)) owned.shell = true;
    owned.any = true;
    if (owned.firstVisible == 0 && windows.IsVisible(window)) owned.firstVisible = window;
  }
  return owned;
}

// True while the emulator's processes still show a top-level window.
bool EmulatorShowsWindow(Mainmod& m) {
  const RunState& s = m.State;
  for (ProcessId process : {s.StartedProcess, s.EmulatorProcess}) {
    if (process == 0) continue;
    for (WindowHandle window : m.Os.windows.TopWindowsOf(process)) {
      if (m.Os.windows.IsVisible(window)) return true;
    }
  }
  return false;
}

void WaitForEmulatorWindows(Mainmod& m) {
  const std::uint64_t from = m.Os.events.NowMs();
  while (EmulatorShowsWindow(m)) {
    if (m.Os.events.NowMs() - from >= kEmulatorGoneCapMs) {
      Log<Say::EmulatorWindowStays>(m, kEmulatorGoneCapMs);
      return;
    }
    m.Os.events.Pause(kEmulatorGoneLookMs);
  }
}

}  // namespace

bool IsShellClass(std::string_view className) {
  for (std::string_view shell : {"Shell_TrayWnd", "Shell_SecondaryTrayWnd", "Progman", "WorkerW"}) {
    if (className == shell) return true;
  }
  return false;
}

FrontEnd FindFrontEnd(Mainmod& m) {
  ProcessOps& processes = m.Os.processes;
  const ProcessId shell = m.Os.windows.ShellProcess();
  ProcessId process = processes.OwnProcess();
  for (int depth = 0; depth < kFrontEndAncestors; ++depth) {
    process = processes.ParentProcess(process);
    if (process == 0) break;
    // Started from a shortcut or the Startup folder: the shell's windows (the
    // task bar, a folder) are no front end, and nothing above it is either.
    if (shell != 0 && process == shell) return FrontEnd{0, 0, true};
    const Owned owned = WindowsOwnedBy(m, process);
    if (owned.shell) return FrontEnd{0, 0, true};
    if (owned.any) return FrontEnd{process, owned.firstVisible, false};
  }
  return FrontEnd{};
}

void HandBackFront(Mainmod& m) {
  const FrontEnd frontEnd = FindFrontEnd(m);
  if (frontEnd.process == 0) {
    if (frontEnd.shellReached) {
      Log<Say::FrontEndIsShell>(m);
    } else {
      Log<Say::FrontEndNone>(m);
    }
    return;
  }
  // A front end that hides its window while a game runs takes the front
  // itself when it shows it again; this lets it, whatever the foreground lock
  // (https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-allowsetforegroundwindow).
  m.Os.windows.AllowForeground(frontEnd.process);
  if (frontEnd.window == 0) {
    Log<Say::FrontEndHidden>(m, frontEnd.process);
    return;
  }
  const std::string name = Compose<Say::WindowOfProcess>(
      Quoted(m.Os.windows.WindowTitle(frontEnd.window)), frontEnd.process);
  if (!m.State.Options.focusback) {
    Log<Say::FrontEndMayTake>(m, name);
    return;
  }
  WaitForEmulatorWindows(m);
  WindowHandle front = 0;
  for (int attempt = 1; attempt <= kHandBackTries; ++attempt) {
    m.Os.windows.BringToFront(frontEnd.window);
    m.Os.events.Pause(kHandBackCheckMs);
    front = m.Os.windows.ForegroundWindow();
    if (front != 0 && m.Os.windows.WindowProcess(front) == frontEnd.process) {
      Log<Say::FrontEndInFront>(m, name, attempt);
      return;
    }
  }
  const std::string inFront =
      front == 0 ? std::string("no window")
                 : Compose<Say::TitleOfProcess>(Quoted(m.Os.windows.WindowTitle(front)),
                                                m.Os.windows.WindowProcess(front));
  Log<Say::FrontEndNotInFront>(m, name, kHandBackTries, inFront);
}

}  // namespace ruskel
