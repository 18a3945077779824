// The exit from input events: taps, keys held at the start, exithold, pads.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "driver/exit_watch.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::SimulatedRun;
using testing::TimeOf;

constexpr std::uint16_t kXA = 0x1000;
constexpr std::uint16_t kXBack = 0x0020;
constexpr std::uint16_t kXStart = 0x0010;

// A typical run whose walk is done by 100 ms.
class PlayingRun : public ::testing::Test {
 protected:
  void Begin(const std::string& args, std::vector<std::string> options = {}) {
    ConfigText config;
    config.options = std::move(options);
    run.WriteConfig(config);
    run.EmulatorWindowAppears(50);
    ASSERT_TRUE(run.Start(args));
  }
  SimulatedRun run;
};

TEST_F(PlayingRun, ATapEndsTheRunAtItsKeyDown) {
  Begin("-alpha");
  run.os.PressKey(27, 3000, 3002);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);
  EXPECT_EQ(TimeOf(run.os, "PostMessage"), 3000u);
}

TEST_F(PlayingRun, AMouseButtonExitKeyWatchesTheMouseForTheRunOnly) {
  Begin("-alpha -keyx4");
  run.os.PressKey(4, 3000, 3050);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);
  EXPECT_EQ(TimeOf(run.os, "PostMessage"), 3000u);
  EXPECT_THAT(run.os.TraceOf("WatchMouse"),
              ElementsAre("WatchMouseButtons on", "WatchMouseButtons off"));
}

TEST_F(PlayingRun, NoTimerRunsWhileWaitingForTheExitKeyAlone) {
  Begin("-alpha");
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  const std::size_t ticks = run.os.timerTicks();
  EXPECT_EQ(run.RunFor(60000), std::nullopt);
  EXPECT_EQ(run.os.timerTicks(), ticks);
  EXPECT_THAT(run.os.RunningTimers(), ElementsAre());
}

TEST_F(PlayingRun, PadsAreReadTwentyTimesASecondOnlyWithAButton) {
  Begin("-alpha -butx4");
  run.os.joystickPresent = true;
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  const std::size_t ticks = run.os.timerTicks();
  EXPECT_EQ(run.RunFor(10000), std::nullopt);
  EXPECT_EQ(run.os.timerTicks() - ticks, 10000u / kPadPollMs);
}

TEST(HeldAtStartTest, AKeyHeldWhenTheRunStartsCountsOnlyOncePressedAgain) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(50);
  run.os.PressKey(27, 0, 400);  // still held from the front end
  // Autorepeat while it stays held.
  for (std::uint64_t t = 100; t < 400; t += 33) run.os.PressKey(27, t, 400);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  run.os.PressKey(27, 2500, 2600);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
  EXPECT_EQ(TimeOf(run.os, "PostMessage"), 2500u);
}

TEST(HeldAtStartTest, AKeyLeftStuckByAnEarlierRunDoesNotEndThisOne) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(50);
  // Its key-up was lost: the system thinks it is held for ever, and no
  // events come until the player presses it for real.
  run.os.PressKey(27, 0, FakePlatform::kNever);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(5000), std::nullopt);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  // A real press comes as a fresh key-down long after.
  run.os.PressKey(27, 6000, 6100);
  EXPECT_EQ(run.RunFor(2000), kExitNormal);
  EXPECT_EQ(TimeOf(run.os, "PostMessage"), 6000u);
  // The stuck key never goes up: the end waits for it no longer than the cap.
  EXPECT_EQ(run.os.now(), 6000u + kReleaseCapMs);
}

TEST(HeldAtStartTest, TheFirstPressAfterAStuckKeyEndsTheRunEvenRightAfterTheWait) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(1500);
  run.os.PressKey(27, 0, FakePlatform::kNever);
  ASSERT_TRUE(run.Start("-alpha"));
  // The wait's looks see the key down all along: a state, not a stream of
  // key-downs, so the press just after the walk is fresh.
  run.os.PressKey(27, 1800, 1900);
  EXPECT_EQ(run.RunFor(3000), kExitNormal);
  EXPECT_EQ(TimeOf(run.os, "PostMessage"), 1800u);
}

TEST(KeyStateSafetyNetTest, TheWindowWaitSeesAPressWithoutEvents) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.os.keyEventsDelivered = false;
  run.os.pressBitKept = false;  // seen by the key's state alone
  run.os.tracePolls = true;
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 1005, 1005 + kKeyLookMs);
  EXPECT_EQ(run.RunFor(5000), kExitNormal);
  EXPECT_LE(run.os.now(), 1005u + kKeyLookMs + kReleaseLookMs);
  // One timer for the wait: the key state rides on its ticks.
  EXPECT_TRUE(run.os.TraceOf("StartTimer 2").empty());
}

TEST(KeyStateSafetyNetTest, APressBetweenTwoLooksEndsTheWait) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.os.keyEventsDelivered = false;
  ASSERT_TRUE(run.Start("-alpha"));
  // Down and up again between the looks at 1010 and 1260.
  run.os.PressKey(27, 1020, 1220);
  EXPECT_EQ(run.RunFor(5000), kExitNormal);
  EXPECT_EQ(run.os.now(), 1260u);
}

TEST(KeyStateSafetyNetTest, AFreshPressOnAKeyStuckDownEndsTheWait) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.os.keyEventsDelivered = false;
  run.os.PressKey(27, 0, FakePlatform::kNever);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  run.os.PressKey(27, 3100, 3200);
  EXPECT_EQ(run.RunFor(6000), kExitNormal);
  // Seen at the look at 3260; the key stays stuck, so the end waits out the cap.
  EXPECT_EQ(run.os.now(), 3260u + kReleaseCapMs);
}

TEST(KeyStateSafetyNetTest, NoKeyStateChecksOnceTheWalkIsDone) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(300);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_TRUE(run.os.TimerRunning(static_cast<int>(TimerId::timWfExit)) == false);
  EXPECT_THAT(run.os.RunningTimers(), ElementsAre());
}

TEST(KeyStateSafetyNetTest, AKeyStuckDownNeverEndsTheWait) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.os.keyEventsDelivered = false;
  run.os.PressKey(27, 0, FakePlatform::kNever);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(20000), std::nullopt);
}

struct HoldCase {
  const char* name;
  std::uint64_t pressMs;
  bool ends;
};

class ExitHoldTest : public ::testing::TestWithParam<HoldCase> {};

TEST_P(ExitHoldTest, OnlyAPressHeldLongEnoughCounts) {
  for (const bool button : {false, true}) {
    SimulatedRun run;
    ConfigText config;
    config.options = {"exithold=1000"};
    run.WriteConfig(config);
    run.EmulatorWindowAppears(50);
    run.os.joystickPresent = true;
    ASSERT_TRUE(run.Start("-alpha -butx8"));
    if (button) {
      run.os.HoldButtons(8, 2000, 2000 + GetParam().pressMs);
    } else {
      run.os.PressKey(27, 2000, 2000 + GetParam().pressMs);
    }
    const auto ended = run.RunFor(8000);
    EXPECT_EQ(ended.has_value(), GetParam().ends) << (button ? "button" : "key");
    if (GetParam().ends) {
      EXPECT_LE(TimeOf(run.os, "PostMessage"), 3000u + kPadPollMs);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Holds, ExitHoldTest,
                         ::testing::Values(HoldCase{"Tap", 5, false},
                                           HoldCase{"JustShort", 900, false},
                                           HoldCase{"LongEnough", 1200, true}),
                         [](const auto& info) { return std::string(info.param.name); });

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
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  ASSERT_TRUE(run.Start(GetParam().args));
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
