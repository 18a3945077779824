// Game pads: winmm joysticks and XInput pads, for the exit button.
#pragma once

#include <cstdint>

namespace ruskel {

// What a joystick reading gives: the button mask (bit n-1 for button n, up to
// 32 buttons). The exit test needs nothing else, so no position is read.
struct JoyInfo {
  std::uint32_t buttons = 0;
};

class PadOps {
 public:
  virtual ~PadOps() = default;

  // Both return false when there is no such pad; info/buttons are then untouched.
  // A missing pad is probed again only every few seconds: probing is slow.
  virtual bool ReadJoystick(std::uint32_t joystickId, JoyInfo& info) = 0;  // winmm, 32 buttons
  virtual bool ReadXInput(std::uint32_t userIndex, std::uint16_t& buttons) = 0;  // XINPUT_GAMEPAD
};

}  // namespace ruskel
