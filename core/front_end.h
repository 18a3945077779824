// The hand-back: the front end's window in front again when a run ends.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/mainmod.h"

namespace ruskel {

// How many ancestors are asked at most: the front end, and launchers between
// it and ruskel that own no window but a console (a batch file's cmd.exe).
inline constexpr int kFrontEndAncestors = 4;
// A console window belongs to the launcher's console, not to a front end.
inline constexpr std::string_view kConsoleClass = "ConsoleWindowClass";

// The hand-back waits this long at most for the emulator's last window to go:
// a window closing after the front end came forward would pass the front on
// to whatever is next in z-order.
inline constexpr std::uint64_t kEmulatorGoneCapMs = 2000;
inline constexpr std::uint32_t kEmulatorGoneLookMs = 50;
// The front end is asked forward, and a moment later checked to hold the
// front, this many times: the front end waits for ruskel's end meanwhile.
inline constexpr int kHandBackTries = 4;
inline constexpr std::uint32_t kHandBackCheckMs = 150;

struct FrontEnd {
  ProcessId process = 0;      // 0: none found
  WindowHandle window = 0;    // its first visible top-level window; 0 when all are hidden
  bool shellReached = false;  // the climb stopped at the desktop shell
};

// True for the classes of the desktop shell's own windows: the task bar and
// the desktop. These never get the front from ruskel.
bool IsShellClass(std::string_view className);

// The nearest ancestor process of ruskel that owns a top-level window, shown
// or hidden, other than a console; never the desktop shell, never past it.
FrontEnd FindFrontEnd(Mainmod& m);

// Lets the front end take the front by itself and, with focusback on and a
// window of it shown, brings that window forward once the emulator's windows
// have gone, checking that it holds the front; logs the outcome.
void HandBackFront(Mainmod& m);

}  // namespace ruskel
