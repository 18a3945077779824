// Exit keys given as one side of Shift, Ctrl or Alt, against what raw input
// reports: the generic code with the scan code and the E0 flag.
#include "platform/sided_keys.h"

#include <gtest/gtest.h>

#include "core/mainmod.h"
#include "driver/exit_watch.h"

namespace ruskel {
namespace {

struct SidedCase {
  const char* name;
  ExitKeyCode exitKey;
  std::int32_t rawKey;  // RAWKEYBOARD.VKey
  std::uint16_t makeCode;
  bool e0;
  bool ends;
};

class SidedExitKeyTest : public ::testing::TestWithParam<SidedCase> {};

TEST_P(SidedExitKeyTest, EndsOnlyOnTheSideAsked) {
  const SidedCase& c = GetParam();
  ExitWatch watch;
  watch.Start({c.exitKey, std::nullopt, 0}, 0, false);
  EXPECT_EQ(watch.KeyDown(SidedVirtualKey(c.rawKey, c.makeCode, c.e0), 5000), c.ends);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SidedExitKeyTest,
    ::testing::Values(SidedCase{"LeftCtrl", 0xA2, 0x11, 0x1D, false, true},
                      SidedCase{"LeftCtrlNotRight", 0xA2, 0x11, 0x1D, true, false},
                      SidedCase{"RightCtrl", 0xA3, 0x11, 0x1D, true, true},
                      SidedCase{"RightCtrlNotLeft", 0xA3, 0x11, 0x1D, false, false},
                      SidedCase{"LeftAlt", 0xA4, 0x12, 0x38, false, true},
                      SidedCase{"LeftAltNotRight", 0xA4, 0x12, 0x38, true, false},
                      SidedCase{"RightAlt", 0xA5, 0x12, 0x38, true, true},
                      SidedCase{"LeftShift", 0xA0, 0x10, 0x2A, false, true},
                      SidedCase{"LeftShiftNotRight", 0xA0, 0x10, 0x36, false, false},
                      SidedCase{"RightShift", 0xA1, 0x10, 0x36, false, true},
                      SidedCase{"RightShiftNotLeft", 0xA1, 0x10, 0x2A, false, false},
                      // An injected Shift without a scan code has no known side.
                      SidedCase{"ShiftWithoutSide", 0xA1, 0x10, 0, false, true},
                      SidedCase{"GenericShiftEitherSide", 0x10, 0x10, 0x36, false, true},
                      SidedCase{"GenericCtrlEitherSide", 0x11, 0x11, 0x1D, true, true},
                      SidedCase{"GenericAltEitherSide", 0x12, 0x12, 0x38, false, true},
                      // Where the system already reports the side.
                      SidedCase{"AlreadySided", 0x10, 0xA0, 0x2A, false, true},
                      SidedCase{"OtherKeyUnchanged", 27, 0x10, 0x2A, false, false},
                      SidedCase{"EscapeItself", 27, 27, 0x01, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ruskel
