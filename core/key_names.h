// Names of Windows virtual-key codes, for showing what a keystroke step types
// (ruskel-check) and which keys a menu walk uses (the run log).
#pragma once

#include <cstdint>
#include <string>

namespace ruskel {

// "Return", "Down", "F5", "A", "Numpad 7"; "VK 0x.." for a code with no name
// here; "no key" outside 0 to 255.
std::string KeyName(std::int64_t code);

// "Return (13)".
std::string KeyWithCode(std::int64_t code);

}  // namespace ruskel
