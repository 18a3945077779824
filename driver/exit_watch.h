// The exit condition: the exit key held, or the first joystick's buttons
// equal to the exit button mask.
#pragma once

#include "core/mainmod.h"

namespace ruskel {

inline constexpr std::uint16_t kKeyHeldBit = 0x1000;

// Reads the joystick into JoyState (kept as it was when it cannot be read)
// and the exit key's state.
bool ExitRequested(Mainmod& m);

}  // namespace ruskel
