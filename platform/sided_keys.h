// Raw input names Shift, Ctrl and Alt only by their generic virtual-key codes;
// the side is in the key's scan code and its E0 prefix.
#pragma once

#include <cstdint>

namespace ruskel {

// The left or right code (VK_LSHIFT .. VK_RMENU) of a generic Shift, Ctrl or
// Alt, told by makeCode and e0; every other key, and a Shift whose scan code
// says no side (an injected key without one), as it is.
std::int32_t SidedVirtualKey(std::int32_t virtualKey, std::uint16_t makeCode, bool e0);

// VK_SHIFT, VK_CONTROL or VK_MENU for either side of it; any other key as it is.
std::int32_t GenericVirtualKey(std::int32_t virtualKey);

// Whether virtualKey is the key given: a Shift, Ctrl or Alt given by its
// generic code is either side; given by one side, it is that side, or the
// generic code where the side is not known.
bool IsKeyGiven(std::int32_t virtualKey, std::int32_t given);

}  // namespace ruskel
