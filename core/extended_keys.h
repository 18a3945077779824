// Keys whose scan code carries the E0 prefix: sent with KEYEVENTF_EXTENDEDKEY,
// or readers that go by scan code take Down for numpad 2.
#pragma once

#include <cstdint>

namespace ruskel {

bool IsExtendedKey(std::uint8_t virtualKey);

// Keys that come out wrong when injected by scan code (KEYEVENTF_SCANCODE):
// Pause and Num Lock share scan code 0x45 and swap, Num Lock comes out as VK
// 0xFF, Print Screen's scan code is half of a longer sequence. They go by
// virtual-key code even with scancodes=strict.
bool NeedsVirtualKeyCode(std::uint8_t virtualKey);

}  // namespace ruskel
