// Finding the emulator's window by its title, and asking it to quit.
#pragma once

#include "core/mainmod.h"

namespace ruskel {

inline constexpr const char* kNullWord = "null";

WindowHandle LookUpEmulatorWindow(Mainmod& m);

// Posts WM_QUIT to EmulatorWindow, when there is one.
void QuitEmulatorWindow(Mainmod& m);

// Posts WM_QUIT to the emulator window, or to the foreground window when the
// configuration says "null". Does not wait; the caller ends the run.
void CloseEmulator(Mainmod& m);

}  // namespace ruskel
