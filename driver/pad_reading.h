// Reading the pads for the exit button: winmm joysticks and XInput pads, as
// one list of button masks in winmm's numbering.
#pragma once

#include <cstdint>
#include <vector>

#include "core/options.h"
#include "platform/pad_ops.h"

namespace ruskel {

// Pads of each kind looked at with joystick=any.
inline constexpr std::uint32_t kPadsPerSource = 4;

// One mask per pad that answered: joystick 0 and XInput pad 0, or with
// joystick=any the first four of each.
std::vector<std::uint32_t> ReadPadMasks(PadOps& pads, JoystickChoice which);

// XINPUT_GAMEPAD buttons in the numbering Windows' own XInput-to-winmm
// mapping gives them: A 1, B 2, X 4, Y 8, LB 16, RB 32, Back 64, Start 128,
// left stick 256, right stick 512. The d-pad is no button there.
std::uint32_t WinmmButtonsOfXInput(std::uint16_t xinputButtons);

}  // namespace ruskel
