#include "platform/sided_keys.h"

namespace ruskel {
namespace {

constexpr std::int32_t kShift = 0x10, kControl = 0x11, kMenu = 0x12;
constexpr std::int32_t kLeftShift = 0xA0, kRightShift = 0xA1;
constexpr std::int32_t kLeftControl = 0xA2, kRightControl = 0xA3;
constexpr std::int32_t kLeftMenu = 0xA4, kRightMenu = 0xA5;
// Set-1 scan codes of the two Shift keys; neither has an E0 prefix.
constexpr std::uint16_t kLeftShiftScan = 0x2A, kRightShiftScan = 0x36;

}  // namespace

std::int32_t SidedVirtualKey(std::int32_t virtualKey, std::uint16_t makeCode, bool e0) {
  switch (virtualKey) {
    case kShift:
      if (makeCode == kLeftShiftScan) return kLeftShift;
      if (makeCode == kRightShiftScan) return kRightShift;
      return kShift;
    case kControl:
      return e0 ? kRightControl : kLeftControl;
    case kMenu:
      return e0 ? kRightMenu : kLeftMenu;
    default:
      return virtualKey;
  }
}

std::int32_t GenericVirtualKey(std::int32_t virtualKey) {
  switch (virtualKey) {
    case kLeftShift:
    case kRightShift:
      return kShift;
    case kLeftControl:
    case kRightControl:
      return kControl;
    case kLeftMenu:
    case kRightMenu:
      return kMenu;
    default:
      return virtualKey;
  }
}

bool IsKeyGiven(std::int32_t virtualKey, std::int32_t given) {
  return virtualKey == given || GenericVirtualKey(virtualKey) == given ||
         GenericVirtualKey(given) == virtualKey;
}

}  // namespace ruskel
