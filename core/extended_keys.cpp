#include "core/extended_keys.h"

namespace ruskel {
namespace {

// Virtual-key codes of the E0 family.
constexpr std::uint8_t kExtendedKeys[] = {
    0x03,                                      // Cancel (Ctrl+Break)
    0x21, 0x22, 0x23, 0x24,                    // Page Up, Page Down, End, Home
    0x25, 0x26, 0x27, 0x28,                    // Left, Up, Right, Down
    0x2C, 0x2D, 0x2E,                          // Print Screen, Insert, Delete
    0x5B, 0x5C, 0x5D, 0x5F,                    // left and right Windows, Apps, Sleep
    0x6F,                                      // numpad Divide
    0x90,                                      // Num Lock
    0xA3, 0xA5,                                // right Ctrl, right Alt
    0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC,  // browser keys
    0xAD, 0xAE, 0xAF,                          // volume mute, down, up
    0xB0, 0xB1, 0xB2, 0xB3,                    // media next, previous, stop, play/pause
    0xB4, 0xB5, 0xB6, 0xB7,                    // launch mail, media select, app 1, app 2
};

}  // namespace

bool IsExtendedKey(std::uint8_t virtualKey) {
  for (std::uint8_t key : kExtendedKeys) {
    if (key == virtualKey) return true;
  }
  return false;
}

bool NeedsVirtualKeyCode(std::uint8_t virtualKey) {
  return virtualKey == 0x13 || virtualKey == 0x90 || virtualKey == 0x2C;  // Pause, Num Lock, PrtSc
}

}  // namespace ruskel
