#include "driver/pad_reading.h"

namespace ruskel {

std::vector<std::uint32_t> ReadPadMasks(PadOps& pads, JoystickChoice which) {
  const std::uint32_t count = which == JoystickChoice::Any ? kPadsPerSource : 1;
  std::vector<std::uint32_t> masks;
  for (std::uint32_t id = 0; id < count; ++id) {
    JoyInfo reading;
    if (pads.ReadJoystick(id, reading)) masks.push_back(reading.buttons);
    std::uint16_t xinput = 0;
    if (pads.ReadXInput(id, xinput)) masks.push_back(WinmmButtonsOfXInput(xinput));
  }
  return masks;
}

std::uint32_t WinmmButtonsOfXInput(std::uint16_t xinputButtons) {
  struct Mapping {
    std::uint16_t xinput;
    std::uint32_t winmm;
  };
  static constexpr Mapping kMappings[] = {
      {0x1000, 1},   {0x2000, 2},   {0x4000, 4}, {0x8000, 8},  // A B X Y
      {0x0100, 16},  {0x0200, 32},                             // LB RB
      {0x0020, 64},  {0x0010, 128},                            // Back Start
      {0x0040, 256}, {0x0080, 512},                            // left, right stick
  };
  std::uint32_t buttons = 0;
  for (const Mapping& mapping : kMappings) {
    if ((xinputButtons & mapping.xinput) != 0) buttons |= mapping.winmm;
  }
  return buttons;
}

}  // namespace ruskel
