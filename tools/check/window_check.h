// ruskel-check --windows: starts the emulator of the checked file as a run
// would, waits for its windows, lists them with the rule that would take
// each, says which one the file's rules take, and closes the emulator again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/mainmod.h"

namespace ruskel::check {

// The longest wait for the emulator's windows: a slow emulator shows its
// window after seconds, and the whole check must end by itself well within
// half a minute.
inline constexpr std::uint64_t kWindowsWaitMs = 10000;
// The windows are listed sooner once some are shown and have stayed the
// same this long (a splash screen replaced by the main window is a change).
inline constexpr std::uint64_t kWindowsSteadyMs = 2000;
inline constexpr std::uint32_t kWindowsLookMs = 100;
// After WM_QUIT, and again after WM_CLOSE, the emulator gets this long to
// end before its processes are ended by force.
inline constexpr std::uint64_t kWindowsCloseWaitMs = 3000;

struct WindowCheckIo {
  std::function<void(const std::string&)> print;  // one line, shown at once
  std::function<bool()> keyPressed;               // a key was pressed since the last call
};

// state: the checked file as the run reads it; programDir: the folder the run
// starts the emulator in. Returns 0 when the file's rules take a window of the
// emulator, 2 when none does or the emulator could not be started.
int CheckWindows(RunState& state, Platform os, const std::string& programDir,
                 const WindowCheckIo& io);

}  // namespace ruskel::check
