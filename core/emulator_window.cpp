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

bool InEmulatorTree(Mainmod& m, ProcessId process) {
  if (process == 0) return false;
  const RunState& s = m.State;
  for (ProcessId root : {s.StartedProcess, s.EmulatorProcess}) {
    if (root != 0 && m.Os.processes.IsDescendantOf(process, root)) return true;
  }
  return false;
}

std::optional<WindowInfo> ChooseEmulatorWindow(Mainmod& m, bool othersToo) {
  std::optional<WindowInfo> best;
  int bestRank = 0;
  for (const WindowInfo& window : m.Os.windows.TopWindowsTitled(m.State.WindowTitle)) {
    const bool ours = InEmulatorTree(m, window.processId);
    if (!ours && !othersToo) continue;
    const int rank = (ours ? 2 : 0) + (window.visible ? 1 : 0) + 1;
    if (rank > bestRank) {
      best = window;
      bestRank = rank;
    }
  }
  return best;
}

CloseRequest CloseEmulator(Mainmod& m) {
  RunState& s = m.State;
  if (s.CloseMode == kNullWord || s.WindowTitle == kNullWord) {
    // For emulators whose title changes once a game runs: the game's window
    // is in front. Anything in front that is not the emulator's (the front
    // end, once the emulator has gone) is left alone.
    const WindowHandle front = m.Os.windows.ForegroundWindow();
    if (front != 0 && InEmulatorTree(m, m.Os.windows.WindowProcess(front)))
      return PostQuit(m, front);
    return PostQuit(m, OwnWindow(m));
  }
  // A fresh lookup: the emulator may have replaced its first window. Its own
  // window first, and when its title has changed, its window all the same.
  CloseRequest request = QuitTitledWindow(m);
  return request.window != 0 ? request : PostQuit(m, OwnWindow(m));
}

CloseRequest QuitTitledWindow(Mainmod& m) {
  if (m.State.WindowTitle == kNullWord) return {};
  const auto titled = ChooseEmulatorWindow(m, true);
  return titled ? PostQuit(m, titled->handle) : CloseRequest{};
}

}  // namespace ruskel
