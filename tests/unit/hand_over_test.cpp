// The hand-over to the emulator and the hand-back to the front end, on the fake platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/front_end.h"
#include "driver/focus_keeper.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::SimulatedRun;
using testing::TimeOf;

TEST(FocusKeeperTest, TypesOnlyInFrontAndAfterASettleOnceLost) {
  using V = FocusKeeper::Verdict;
  struct Step {
    bool inFront;
    std::uint64_t at;
    V verdict;
  };
  FocusKeeper keeper;
  keeper.Start(2000);
  const Step steps[] = {
      {true, 0, V::Type},     {false, 100, V::Wait},  {true, 200, V::Wait},
      {false, 300, V::Wait},  // lost again: the settle starts over
      {true, 400, V::Wait},   {true, 899, V::Wait},   {true, 900, V::Type},
      {false, 1000, V::Wait}, {false, 2999, V::Wait}, {false, 3000, V::GiveUp},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(keeper.Check(step.inFront, step.at), step.verdict) << "at " << step.at;
  }
}

TEST(HandOverTest, AWindowThatTakesTheFrontMidWalkGetsNoKeyAndTheWalkResumes) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"keydelay=100"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  run.os.AddWindow({0x77, FakePlatform::kFrontEndProcess, "Busy"});
  ASSERT_TRUE(run.Start("-beta"));
  run.os.At(360, [&] {
    run.os.foreground = 0x77;
    run.os.foregroundRefused = true;
  });
  run.os.At(1500, [&] { run.os.foregroundRefused = false; });
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  const std::string before = run.Keys();
  EXPECT_EQ(run.RunFor(4000), std::nullopt);
  // Every key of the walk once, none lost or doubled, and none while Busy held the front.
  EXPECT_EQ(run.Keys(), "13d 13u 40d 40u 13d 13u");
  EXPECT_EQ(before, "13d 13u");
  EXPECT_GE(TimeOf(run.os, "Key 40 down"), 1500u + kRefocusSettleMs);
}

// The same without keydelay (a walk typed back to back) and in the misc keys.
struct FrontLossCase {
  const char* name;
  const char* rom;
  std::vector<std::string> misc;
  int lostAfterKeys;  // key events sent before Busy takes the front
  const char* before;
  const char* all;
};

class FrontLossTest : public ::testing::TestWithParam<FrontLossCase> {};

TEST_P(FrontLossTest, NoKeyWhileAnotherWindowHoldsTheFrontThenTheRestOnce) {
  const FrontLossCase& c = GetParam();
  SimulatedRun run;
  ConfigText config;
  config.timer = "timer=1000";
  config.misc = c.misc;
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  run.os.AddWindow({0x77, FakePlatform::kFrontEndProcess, "Busy"});
  int sent = 0;
  run.os.afterKeyEvent = [&] {
    if (++sent != c.lostAfterKeys) return;
    run.os.foreground = 0x77;
    run.os.foregroundRefused = true;
    run.os.At(run.os.now() + 3000, [&] { run.os.foregroundRefused = false; });
  };
  ASSERT_TRUE(run.Start(c.rom));
  EXPECT_EQ(run.RunFor(2500), std::nullopt);
  EXPECT_EQ(run.Keys(), c.before);
  EXPECT_EQ(run.RunFor(6000), std::nullopt);
  EXPECT_EQ(run.Keys(), c.all);
}

INSTANTIATE_TEST_SUITE_P(Walks, FrontLossTest,
                         ::testing::Values(FrontLossCase{"walk_without_keydelay",
                                                         "-beta",
                                                         {},
                                                         2,
                                                         "13d 13u",
                                                         "13d 13u 40d 40u 13d 13u"},
                                           FrontLossCase{"misc",
                                                         "-alpha",
                                                         {"32/down", "32/up", "33/down", "33/up"},
                                                         6,
                                                         "13d 13u 13d 13u 32d 32u",
                                                         "13d 13u 13d 13u 32d 32u 33d 33u"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HandOverTest, FocuswaitEndsTheRunWithItsOwnCode) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"focuswait=1000"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  run.os.foregroundRefused = true;
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(10000), kExitNoFocus);
  EXPECT_EQ(run.Keys(), "");
}

TEST(HandOverTest, TheFrontEndIsTheNearestAncestorWithAVisibleWindow) {
  struct Case {
    const char* name;
    bool parentShown;
    bool grandparentShown;
    WindowHandle expected;
  };
  for (const Case& c : {Case{"parent", true, true, FakePlatform::kFrontEndWindow},
                        Case{"grandparent", false, true, 0x90}, Case{"none", false, false, 0}}) {
    SimulatedRun run;
    // ruskel (60) was started by the front end (50), started in turn by a launcher (40).
    run.os.AddProcess({40, 0});
    run.os.AddProcess({FakePlatform::kFrontEndProcess, 40});
    run.os.AddWindow({0x90, 40, "Launcher", 0, c.grandparentShown ? 0 : FakePlatform::kNever});
    if (!c.parentShown) run.os.HideWindow(FakePlatform::kFrontEndWindow);
    const auto got = FindFrontEnd(run.m);
    EXPECT_EQ(got ? got->window : 0u, c.expected) << c.name;
  }
}

// Every way out releases what the walk held, hands the front back and waits for the exit key.
TEST(HandOverTest, EveryEndReleasesHeldKeysAndHandsTheFrontBack) {
  struct Case {
    const char* name;
    std::function<void(SimulatedRun&)> end;
    int exitCode;
  };
  const Case cases[] = {
      {"exit key mid-walk", [](SimulatedRun& r) { r.os.PressKey(27, 420, 430); }, kExitNormal},
      {"close request", [](SimulatedRun& r) { r.os.RequestClose(420); }, kExitNormal},
  };
  for (const Case& c : cases) {
    SimulatedRun run;
    ConfigText config;
    config.options = {"keydelay=100"};
    run.WriteConfig(config);
    run.EmulatorWindowAppears(50);
    ASSERT_TRUE(run.Start("-beta"));
    c.end(run);
    EXPECT_EQ(run.RunFor(10000), c.exitCode) << c.name;
    // 40 went down at 400 and would have come up at 500.
    EXPECT_EQ(run.Keys(), "13d 13u 40d 40u") << c.name;
    EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre("PostMessage 0x2a 0x12 0 0")) << c.name;
    EXPECT_THAT(run.os.TraceOf("AllowForeground"), ElementsAre("AllowForeground 50")) << c.name;
    EXPECT_EQ(run.os.foreground, FakePlatform::kFrontEndWindow) << c.name;
  }
}

TEST(HandOverTest, AnErrorBoxReleasesHeldKeysFirst) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(50);
  ASSERT_TRUE(run.Start("-alpha"));
  run.state->KeysHeld = {40};
  EXPECT_FALSE(run.os.RunMain([&] { run.form.Finish(RunEnd::Error(kExitInternal, "boom")); }));
  const auto trace = run.os.Trace();
  const auto up = std::find(trace.begin(), trace.end(), "Key 40 up scan=0x50 ext");
  const auto box = std::find(trace.begin(), trace.end(), "ErrorBox: boom");
  EXPECT_TRUE(up < box);
}

TEST(HandOverTest, AnEmulatorAboveRuskelsLevelIsReportedOnceAndTheRunGoesOn) {
  SimulatedRun run;
  run.os.startedProcess.integrity = FakePlatform::kHighIntegrity;
  ConfigText config;
  config.options = {"log=ruskel.log"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  ASSERT_TRUE(run.Start("-alpha -keyx27"));
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  EXPECT_EQ(run.os.TraceOf("ErrorBox: The emulator runs as administrator").size(), 1u);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  // The exit still posts; the refusal is logged, not taken for a sent request.
  run.os.PressKey(27, 3100, 3200);
  run.RunFor(10000);
  const std::string& log = run.os.files["C:\\Games\\ruskel\\ruskel.log"];
  EXPECT_THAT(log, HasSubstr("WM_QUIT could not be posted to the emulator window, process 100: "
                             "Access is denied. (error 5)"));
  EXPECT_THAT(log, HasSubstr("WM_CLOSE posted to its 1 windows; posting failed: Access is "
                             "denied. (error 5)"));
  EXPECT_THAT(log, Not(HasSubstr("WM_QUIT posted")));
}

// A standard user's ruskel may not read an elevated process's token: the
// refusal says as much as a higher level would, and the same box shows.
TEST(HandOverTest, AnEmulatorThatCannotBeInspectedIsTakenForOneAboveRuskel) {
  SimulatedRun run;
  run.os.startedProcess.integrity = kIntegrityDenied;
  ConfigText config;
  config.options = {"log=ruskel.log"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  ASSERT_TRUE(run.Start("-alpha -keyx27"));
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  EXPECT_EQ(run.os.TraceOf("ErrorBox: The emulator runs as administrator").size(), 1u);
  EXPECT_THAT(run.os.files["C:\\Games\\ruskel\\ruskel.log"],
              HasSubstr("could not be inspected (access denied), so it runs above ruskel's "
                        "integrity level 0x2000"));
}

TEST(HandOverTest, ErrorSevenFortyNamesTheAdministratorFlag) {
  SimulatedRun run;
  run.os.processStarts = false;
  run.os.startNeedsElevation = true;
  run.WriteConfig(ConfigText{});
  EXPECT_FALSE(run.Start("-alpha"));
  ASSERT_EQ(run.os.TraceOf("ErrorBox").size(), 1u);
  EXPECT_THAT(run.os.TraceOf("ErrorBox")[0], HasSubstr("asks to run as administrator"));
  EXPECT_THAT(run.os.TraceOf("ErrorBox")[0], HasSubstr("Compatibility"));
}

}  // namespace
}  // namespace ruskel
