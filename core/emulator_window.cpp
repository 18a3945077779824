#include "core/emulator_window.h"

namespace ruskel {
namespace {

CloseRequest PostQuit(Mainmod& m, WindowHandle window) {
  RunState& s = m.State;
  s.EmulatorWindow = window;
  CloseRequest request;
  if (window == 0) return request;
  // WM_QUIT rather than WM_CLOSE: emulators that ask "really quit?" on
  // WM_CLOSE would otherwise stay up.
  request.postError = m.Os.windows.PostWindowMessage(window, kWmQuit, 0, 0);
  request.window = window;
  request.process = m.Os.windows.WindowProcess(window);
  return request;
}

// The emulator's own top-level window, when it still has one.
WindowHandle OwnWindow(Mainmod& m) {
  const RunState& s = m.State;
  for (ProcessId process : {s.EmulatorProcess, s.StartedProcess}) {
    if (process == 0) continue;
    const auto windows = m.Os.windows.TopWindowsOf(process);
    if (!windows.empty()) return windows.front();
  }
  return 0;
}

}  // namespace

CloseRequest CloseEmulator(Mainmod& m) {
  RunState& s = m.State;
  if (s.CloseMode == kNullWord || !LooksForWindow(s)) {
    // For emulators whose title changes once a game runs: the game's window
    // is in front. Anything in front that is not the emulator's (the front
    // end, once the emulator has gone) is left alone.
    const WindowHandle front = m.Os.windows.ForegroundWindow();
    if (front != 0 && InEmulatorTree(m, m.Os.windows.WindowProcess(front)))
      return PostQuit(m, front);
    return PostQuit(m, OwnWindow(m));
  }
  // A fresh lookup: the emulator may have replaced its first window (a switch
  // to full screen). Its own window first, and when its title has changed,
  // its window all the same.
  CloseRequest request = QuitMatchedWindow(m);
  return request.window != 0 ? request : PostQuit(m, OwnWindow(m));
}

CloseRequest QuitOwnWindow(Mainmod& m) {
  return PostQuit(m, OwnWindow(m));
}

CloseRequest QuitMatchedWindow(Mainmod& m) {
  if (!LooksForWindow(m.State)) return {};
  const auto titled = ChooseEmulatorWindow(m, true);
  return titled ? PostQuit(m, titled->handle) : CloseRequest{};
}

}  // namespace ruskel
