// Reading the pads: how often, winmm joysticks and XInput pads, first or
// any, and what a pad that goes leaves behind.
#include "driver/pad_reading.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "driver/exit_watch.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using testing::SimulatedRun;

constexpr std::uint16_t kXA = 0x1000;
constexpr std::uint16_t kXBack = 0x0020;
constexpr std::uint16_t kXStart = 0x0010;

class PadRun : public ::testing::Test {
 protected:
  SimulatedRun run;
};

TEST_F(PadRun, AreReadTwentyTimesASecondWithAButton) {
  run.os.joystickPresent = true;
  ASSERT_TRUE(run.Begin(ConfigText{}, "-alpha -butx4", 50));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  const std::size_t ticks = run.os.timerTicks();
  EXPECT_EQ(run.RunFor(10000), std::nullopt);
  // and the front looked at, with the exit key
  EXPECT_EQ(run.os.timerTicks() - ticks, 10000u / kPadPollMs + 10000u / kFrontLookMs);
}

struct PadCase {
  const char* name;
  const char* args;
  const char* joystick;  // option value
  std::function<void(FakePlatform&)> script;
  bool ends;
};

class PadExitTest : public ::testing::TestWithParam<PadCase> {};

TEST_P(PadExitTest, ComparesTheMaskWithEachPad) {
  SimulatedRun run;
  ConfigText config;
  config.options = {std::string("joystick=") + GetParam().joystick};
  ASSERT_TRUE(run.Begin(config, GetParam().args, 50));
  GetParam().script(run.os);
  EXPECT_EQ(run.RunFor(10000).has_value(), GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Pads, PadExitTest,
    ::testing::Values(
        PadCase{"XInputBackAndStart", "-alpha -butx192", "first",
                [](FakePlatform& os) { os.HoldXInput(0, kXBack | kXStart, 2000, 2200); }, true},
        PadCase{"XInputAIsButtonOne", "-alpha -butx1", "first",
                [](FakePlatform& os) { os.HoldXInput(0, kXA, 2000, 2200); }, true},
        PadCase{"XInputBackAloneIsNotTheCombo", "-alpha -butx192", "first",
                [](FakePlatform& os) { os.HoldXInput(0, kXBack, 2000, 2200); }, false},
        // Back on one pad and Start on another are no combo.
        PadCase{"ComboSplitAcrossSourcesDoesNotCount", "-alpha -butx192", "any",
                [](FakePlatform& os) {
                  os.HoldXInput(0, kXBack, 2000, 2200);
                  os.HoldJoystick(1, 128, 2000, 2200);
                },
                false},
        PadCase{"WinmmButtonsBeyondFour", "-alpha -butx192", "first",
                [](FakePlatform& os) {
                  os.joystickPresent = true;
                  os.HoldButtons(192, 2000, 2200);
                },
                true},
        // Up to 15 the mask names buttons 1 to 4, as a four-button reading does.
        PadCase{"SmallMaskIgnoresButtonsFiveUp", "-alpha -butx4", "first",
                [](FakePlatform& os) {
                  os.joystickPresent = true;
                  os.HoldButtons(4 | 64, 2000, 2200);
                },
                true},
        PadCase{"SmallMaskStillNeedsExactlyItsButtons", "-alpha -butx4", "first",
                [](FakePlatform& os) {
                  os.joystickPresent = true;
                  os.HoldButtons(5, 2000, 2200);
                },
                false},
        PadCase{"SecondPadIgnoredWithFirst", "-alpha -butx2", "first",
                [](FakePlatform& os) { os.HoldXInput(1, 0x2000, 2000, 2200); }, false},
        PadCase{"SecondPadCountsWithAny", "-alpha -butx2", "any",
                [](FakePlatform& os) { os.HoldXInput(1, 0x2000, 2000, 2200); }, true},
        PadCase{"PadPluggedInMidRun", "-alpha -butx8", "first",
                [](FakePlatform& os) {
                  os.ConnectXInput(0, 5000);
                  os.HoldXInput(0, 0x8000, 6000, 6300);
                },
                true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XInputMappingTest, UsesWindowsOwnWinmmNumbering) {
  EXPECT_EQ(WinmmButtonsOfXInput(0x1000), 1u);    // A
  EXPECT_EQ(WinmmButtonsOfXInput(0x2000), 2u);    // B
  EXPECT_EQ(WinmmButtonsOfXInput(0x4000), 4u);    // X
  EXPECT_EQ(WinmmButtonsOfXInput(0x8000), 8u);    // Y
  EXPECT_EQ(WinmmButtonsOfXInput(0x0100), 16u);   // LB
  EXPECT_EQ(WinmmButtonsOfXInput(0x0200), 32u);   // RB
  EXPECT_EQ(WinmmButtonsOfXInput(0x0020), 64u);   // Back
  EXPECT_EQ(WinmmButtonsOfXInput(0x0010), 128u);  // Start
  EXPECT_EQ(WinmmButtonsOfXInput(0x0040), 256u);  // left stick
  EXPECT_EQ(WinmmButtonsOfXInput(0x0080), 512u);  // right stick
  EXPECT_EQ(WinmmButtonsOfXInput(0x000F), 0u);    // the d-pad is no button
  EXPECT_EQ(WinmmButtonsOfXInput(0xFFFF), 1023u);
}

}  // namespace
}  // namespace ruskel
