// Keys whose scan code carries the E0 prefix: sent with KEYEVENTF_EXTENDEDKEY,
// or readers that go by scan code take Down for numpad 2.
#pragma once

#include <cstdint>

namespace ruskel {

bool IsExtendedKey(std::uint8_t virtualKey);

}  // namespace ruskel
