// ruskel-check --pixel: the colour the screen shows at a point of the running
// emulator's client area, in the form a "wait pixel" line takes, so that an
// owner can copy the menu's colour into the walk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/mainmod.h"

namespace ruskel::check {

// The window is brought to the front first (the pixel is read from the
// screen, and the console would cover it); it gets this long to draw itself
// in front before the pixel is read.
inline constexpr std::uint32_t kPixelDrawMs = 300;

// point: as given after --pixel, "x,y". state: the checked file as the run
// reads it. The emulator is not started: the owner has brought it to the
// screen a wait is for. Returns 0 with the colour printed; 1 for a point that
// is no x,y; 2 when no window the file's rules take is shown, or the pixel
// cannot be read.
int CheckPixel(RunState& state, Platform os, const std::string& point,
               const std::function<void(const std::string&)>& print);

}  // namespace ruskel::check
