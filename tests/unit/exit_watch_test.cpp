// ExitWatch: the exit key from key events and key looks, the exit button's
// mask, presses held toward exithold, and the exit in every phase of a run.
#include "driver/exit_watch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/front_end.h"
#include "driver/hand_over.h"
#include "case_name.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::GamesWith;
using testing::KeyTimes;
using testing::kQuitEmulator;
using testing::SimulatedRun;
using testing::TimeOf;

// A run whose walk is done by 100 ms.
class PlayingRun : public ::testing::Test {
 protected:
  void Begin(const std::string& args) { ASSERT_TRUE(run.Begin(ConfigText{}, args, 50)); }
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

TEST(NoButtonTest, AnIdleJoystickNeverEndsTheRun) {
  for (const char* args : {"-alpha", "-alpha -butx0", "-alpha -butxabc", "-alpha -butx0.4"}) {
    SimulatedRun run;
    run.os.joystickPresent = true;
    ASSERT_TRUE(run.Begin(ConfigText{}, args, 50));
    EXPECT_EQ(run.RunFor(5000), std::nullopt) << args;
  }
}

// What the arguments watch: one input leaves the run going, the next ends it.
struct ExitInput {
  bool button;  // a pad's button mask, else a key code
  std::int32_t code;
};

struct WatchedCase {
  const char* name;
  const char* args;
  ExitInput ignored;
  ExitInput ends;
};

class WatchedInputTest : public ::testing::TestWithParam<WatchedCase> {};

TEST_P(WatchedInputTest, OnlyTheGivenInputEndsTheRun) {
  const WatchedCase& c = GetParam();
  SimulatedRun run;
  run.os.joystickPresent = true;
  ASSERT_TRUE(run.Begin(ConfigText{}, c.args, 50));
  const auto press = [&](ExitInput input, std::uint64_t from) {
    if (input.button) {
      run.os.HoldButtons(static_cast<std::uint32_t>(input.code), from, from + 200);
    } else {
      run.os.PressKey(input.code, from, from + 200);
    }
  };
  press(c.ignored, 1000);
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  press(c.ends, 2500);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
}

constexpr ExitInput Key(std::int32_t code) { return {false, code}; }
constexpr ExitInput Buttons(std::int32_t mask) { return {true, mask}; }

INSTANTIATE_TEST_SUITE_P(
    Arguments, WatchedInputTest,
    ::testing::Values(
        WatchedCase{"Key65IgnoresEscape", "-alpha -keyx65", Key(27), Key(65)},
        WatchedCase{"AKeyThatIsNotANumberLeavesTheButton", "-alpha -keyxabc -butx2", Key(27),
                    Buttons(2)},
        // Buttons 1 and 3 together are not button 3.
        WatchedCase{"TheButtonMaskMatchesWhole", "-alpha -keyx27 -butx4", Buttons(5), Buttons(4)},
        // Truncating would pick 65 for 65.5, rounding halves up 65 for 64.5.
        WatchedCase{"HalfUpToTheEvenCode", "-alpha -keyx65.5", Key(65), Key(66)},
        WatchedCase{"HalfDownToTheEvenCode", "-alpha -keyx64.5", Key(65), Key(64)},
        WatchedCase{"FractionBelowAHalfRoundsDown", "-alpha -keyx65.4", Key(66), Key(65)},
        WatchedCase{"FractionAboveAHalfRoundsUp", "-alpha -keyx65.6", Key(65), Key(66)}),
    testing::NamedBy([](const WatchedCase& c) { return std::string(c.name); }));

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
  EXPECT_EQ(run.os.now(), 6000u + kReleaseCapMs + kHandBackCheckMs);
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

// The emulator never shows a window, and closewait=0 ends the run at the exit:
// when it comes is the point.
ConfigText NoCloseWait() {
  ConfigText config;
  config.options = {"closewait=0"};
  return config;
}

TEST(KeyStateSafetyNetTest, TheWindowWaitSeesAPressWithoutEvents) {
  SimulatedRun run;
  run.WriteConfig(NoCloseWait());
  run.os.keyEventsDelivered = false;
  run.os.pressBitKept = false;  // seen by the key's state alone
  run.os.tracePolls = true;
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 1005, 1005 + kKeyLookMs);
  EXPECT_EQ(run.RunFor(5000), kExitNormal);
  EXPECT_LE(run.os.now(), 1005u + kKeyLookMs + kReleaseLookMs + kHandBackCheckMs);
  // Looked at on keyLook's ticks: no pad timer for a key.
  EXPECT_TRUE(run.os.TraceOf("StartTimer 2").empty());
}

TEST(KeyStateSafetyNetTest, APressBetweenTwoLooksEndsTheWait) {
  SimulatedRun run;
  run.WriteConfig(NoCloseWait());
  run.os.keyEventsDelivered = false;
  ASSERT_TRUE(run.Start("-alpha"));
  // Down and up again between the looks at 1010 and 1510 (the window lookups).
  run.os.PressKey(27, 1100, 1300);
  EXPECT_EQ(run.RunFor(5000), kExitNormal);
  EXPECT_EQ(run.os.now(), 1510u + kHandBackCheckMs);
}

TEST(KeyStateSafetyNetTest, AFreshPressOnAKeyStuckDownEndsTheWait) {
  SimulatedRun run;
  run.WriteConfig(NoCloseWait());
  run.os.keyEventsDelivered = false;
  run.os.PressKey(27, 0, FakePlatform::kNever);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  run.os.PressKey(27, 3100, 3200);
  EXPECT_EQ(run.RunFor(6000), kExitNormal);
  // Seen at the next look; the key stays stuck, so the end waits out the cap.
  EXPECT_EQ(run.os.now(), 3510u + kReleaseCapMs + kHandBackCheckMs);
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
    run.os.joystickPresent = true;
    ASSERT_TRUE(run.Begin(config, button ? "-alpha -butx8" : "-alpha", 50));
    if (button) {
      run.os.HoldButtons(8, 2000, 2000 + GetParam().pressMs);
    } else {
      run.os.PressKey(27, 2000, 2000 + GetParam().pressMs);
    }
    const auto ended = run.RunFor(8000);
    EXPECT_EQ(ended.has_value(), GetParam().ends) << (button ? "button" : "key");
    // As soon as the hold is reached.
    if (GetParam().ends) {
      EXPECT_EQ(TimeOf(run.os, "PostMessage"), 3000u) << (button ? "button" : "key");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Holds, ExitHoldTest,
                         ::testing::Values(HoldCase{"Tap", 5, false},
                                           HoldCase{"JustShort", 900, false},
                                           HoldCase{"LongEnough", 1200, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The exit in each phase of a run: it ends the run at once, and no key of the
// walk comes after it.
struct PhaseCase {
  const char* name;
  std::vector<std::string> options;
  std::uint64_t windowAt;  // FakePlatform::kNever: no window ever
  const char* args;
  std::function<void(FakePlatform&)> exit;  // and how the world is meanwhile
  std::uint64_t exitFrom;
  std::uint64_t exitBy;
  bool typedBefore;  // some keys of the walk come before the exit
  std::vector<std::string> posted;
};

class ExitInEveryPhase : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(ExitInEveryPhase, EndsTheRunAndTheKeys) {
  const PhaseCase& c = GetParam();
  SimulatedRun run;
  ConfigText config;
  config.options = c.options;
  config.games = GamesWith("mygame", 300, 400);  // a long walk with keydelay
  run.WriteConfig(config);
  if (c.windowAt != FakePlatform::kNever) run.EmulatorWindowAppears(c.windowAt);
  ASSERT_TRUE(run.Start(c.args));
  c.exit(run.os);
  EXPECT_EQ(run.RunFor(100000), kExitNormal);
  // The close begins at the press; the run ends once the key is up again.
  const std::uint64_t closedAt = TimeOf(run.os, "WatchKeys off");
  EXPECT_GE(closedAt, c.exitFrom);
  EXPECT_LE(closedAt, c.exitBy);
  const auto keys = KeyTimes(run.os);
  EXPECT_EQ(!keys.empty(), c.typedBefore);
  if (!keys.empty()) {
    EXPECT_LE(keys.back(), closedAt);
  }
  EXPECT_EQ(run.os.TraceOf("PostMessage"), c.posted);
}

auto PressEscape(std::uint64_t at) {
  return [at](FakePlatform& os) { os.PressKey(27, at, at + 100); };
}

INSTANTIATE_TEST_SUITE_P(
    Phases, ExitInEveryPhase,
    ::testing::Values(
        // Watched from the very start; the window that comes meanwhile is asked to quit.
        PhaseCase{"WaitRightAtTheStart", {}, 50, "-mygame", PressEscape(0), 0, 0, false,
                  {kQuitEmulator}},
        // No window to wait for once the exit has come.
        PhaseCase{"WaitThatNeverEnds",
                  {"closewait=0"},
                  FakePlatform::kNever,
                  "-mygame",
                  PressEscape(60000),
                  60000,
                  60000,
                  false,
                  {}},
        PhaseCase{"FocusSettle",
                  {},
                  100,
                  "-mygame",
                  [](FakePlatform& os) {
                    os.foregroundRefused = true;
                    os.PressKey(27, 1000, 1100);
                  },
                  1000,
                  1000,
                  false,
                  {kQuitEmulator}},
        PhaseCase{"StartDelay",
                  {"startdelay=5000"},
                  100,
                  "-mygame",
                  PressEscape(2000),
                  2000,
                  2000,
                  false,
                  {kQuitEmulator}},
        PhaseCase{"MidWalk",
                  {"keydelay=60"},
                  100,
                  "-mygame",
                  PressEscape(5000),
                  5000,
                  5000,
                  true,
                  {kQuitEmulator}},
        PhaseCase{"ButtonMidWalk",
                  {"keydelay=60"},
                  100,
                  "-mygame -butx2",
                  [](FakePlatform& os) {
                    os.joystickPresent = true;
                    os.HoldButtons(2, 3000, 3200);
                  },
                  3000,
                  3000 + kPadPollMs,
                  true,
                  {kQuitEmulator}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ruskel
