// The exit inputs the arguments give (KEYX, BUTX), read once into typed
// values. What the run watches, what its log says and what ruskel-check
// describes all come from these, so they cannot disagree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ruskel {

// A virtual-key code the run can watch: 1 to 255, never 0.
using ExitKeyCode = std::uint8_t;
// Pad buttons as winmm numbers them: button 1 is 1, button 2 is 2, button 3
// is 4, and so on. Never 0, which every idle pad shows.
using ButtonMask = std::uint32_t;

inline constexpr ExitKeyCode kDefaultExitKey = 27;  // Escape

// KEYX's text: Escape when empty; the number rounded (halves to the even
// neighbour) when that is a key code from 1 to 255; else no key.
std::optional<ExitKeyCode> ExitKeyOf(std::string_view text);
// BUTX's text: the number rounded as above when that is a mask from 1 up
// within 32 signed bits; else no button.
std::optional<ButtonMask> ExitButtonOf(std::string_view text);

// Why a KEYX or BUTX text that was given gives no key or button, for the log
// and the check: "\"300\" is no key code from 1 to 255".
std::string WhyNoExitKey(std::string_view text);
std::string WhyNoExitButton(std::string_view text);

// Whether one pad's buttons end the run. A mask of 15 or less names buttons 1
// to 4 only, as a four-button reading does; a larger one names the whole mask.
bool ButtonsMatch(ButtonMask buttons, ButtonMask exitButton);

// The buttons of a mask by their Xbox pad names, in Windows' numbering of an
// Xbox pad (the one ruskel reads XInput pads in): "Back + Start"; a button
// an Xbox pad has not is "button 13".
std::string XboxButtonNames(ButtonMask mask);

// The whole rule in words: "mask 192: buttons 7+8 together, nothing else
// held (Xbox pad: Back + Start)".
std::string DescribeButtonMask(ButtonMask mask);

}  // namespace ruskel
