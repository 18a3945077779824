// Asking the emulator's window to quit.
#pragma once

#include <string>

#include "core/mainmod.h"
#include "core/window_match.h"

namespace ruskel {

// What CloseEmulator asked to quit.
struct CloseRequest {
  WindowHandle window = 0;  // 0: nothing was posted
  ProcessId process = 0;    // the process to wait for; 0: none known
  std::string postError;    // why posting failed (an elevated emulator refuses: error 5)
};

// Posts WM_QUIT to the emulator window found afresh by the window rule or,
// with close mode "null" or title "null", to the foreground window when it belongs to the emulator
// (the emulator's own window otherwise). A window of another program never gets it. Does not wait.
CloseRequest CloseEmulator(Mainmod& m);

// Posts WM_QUIT only to a window the window rule matches (none with title
// "null"), the emulator's own first.
CloseRequest QuitMatchedWindow(Mainmod& m);

// Posts WM_QUIT to the first top-level window of the emulator's own process
// (the one started when no window has been found), whatever its title.
CloseRequest QuitOwnWindow(Mainmod& m);

}  // namespace ruskel
