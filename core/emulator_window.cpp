#include "core/emulator_window.h"

namespace ruskel {

WindowHandle LookUpEmulatorWindow(Mainmod& m) {
  return m.Os.FindTopWindow(m.State.WindowTitle);
}

void CloseEmulator(Mainmod& m) {
  RunState& s = m.State;
  if (s.CloseMode == kNullWord || s.WindowTitle == kNullWord) {
    s.EmulatorWindow = m.Os.ForegroundWindow();
  } else {
    s.EmulatorWindow = LookUpEmulatorWindow(m);
  }
  QuitEmulatorWindow(m);
}

void QuitEmulatorWindow(Mainmod& m) {
  // WM_QUIT rather than WM_CLOSE: emulators that ask "really quit?" on
  // WM_CLOSE would otherwise stay up.
  const WindowHandle window = m.State.EmulatorWindow;
  if (window != 0) m.Os.PostWindowMessage(window, kWmQuit, 0, 0);
}

}  // namespace ruskel
