// The emulator's life: followed when it ends by itself, closed for sure, and
// no other program's window ever touched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::SimulatedRun;

constexpr ProcessId kEmulator = FakePlatform::kFirstStartedProcess;
const std::string kQuit = "PostMessage 0x2a 0x12 0 0";
const std::string kClose = "PostMessage 0x2a 0x10 0 0";

class LifeTest : public ::testing::Test {
 protected:
  void Begin(const std::string& args = "-alpha") {
    run.WriteConfig(config);
    run.EmulatorWindowAppears(50);
    ASSERT_TRUE(run.Start(args));
  }
  ConfigText config;
  SimulatedRun run;
};

TEST_F(LifeTest, EmulatorEndingByItselfEndsTheRunWithCode6AndPostsNothing) {
  run.os.startedProcess.endsAt = 4000;
  Begin();
  EXPECT_EQ(run.RunFor(10000), kExitEmulatorEnded);
  EXPECT_EQ(run.os.now(), 4000u);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre());
}

TEST_F(LifeTest, FollowOffKeepsWaitingForTheExitKey) {
  config.options = {"follow=off"};
  run.os.startedProcess.endsAt = 4000;
  Begin();
  EXPECT_EQ(run.RunFor(10000), std::nullopt);
  // Nothing is in front now: the key is seen in the key state, not as an event.
  run.os.keyEventsDelivered = false;
  run.os.PressKey(27, 11000, 11300);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre());
}

TEST_F(LifeTest, ALauncherThatHandsOverIsNotTheEmulator) {
  // The started process starts the real emulator, which owns the window, and goes.
  run.os.startedProcess.endsAt = 30;
  run.os.AddProcess({200, kEmulator, 5000});
  config.options = {};
  run.WriteConfig(config);
  run.os.AddWindow({SimulatedRun::kEmulatorWindow, 200, "My Emulator", 50, 50});
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(4000), std::nullopt);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  // The real emulator's end is followed.
  EXPECT_EQ(run.RunFor(2000), kExitEmulatorEnded);
  EXPECT_EQ(run.os.now(), 5000u);
}

TEST_F(LifeTest, AnEmulatorThatEndsBeforeItsWindowEndsTheRunAfterTheHandOverBound) {
  run.os.startedProcess.endsAt = 500;  // crashed while loading
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(500 + kHandOverMs - 300), std::nullopt);
  EXPECT_EQ(run.RunFor(600), kExitEmulatorEnded);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre());
}

TEST_F(LifeTest, WindowTitleNullFollowsTheStartedProcess) {
  config.handles = {"null", "null"};
  run.os.startedProcess.endsAt = 3000;
  Begin();
  EXPECT_EQ(run.RunFor(10000), kExitEmulatorEnded);
  EXPECT_EQ(run.os.now(), 3000u);
}

struct LadderCase {
  const char* name;
  std::vector<std::string> options;
  bool ignoresQuit;
  bool ignoresClose;
  int exitCode;
  std::uint64_t endsAt;  // after the exit key at 2000
  std::vector<std::string> posted;
  bool terminated;
};

class CloseLadderTest : public ::testing::TestWithParam<LadderCase> {};

TEST_P(CloseLadderTest, EndsAsSoonAsTheEmulatorHasGone) {
  const LadderCase& c = GetParam();
  SimulatedRun run;
  ConfigText config;
  config.options = c.options;
  run.WriteConfig(config);
  run.os.startedProcess.ignoresQuit = c.ignoresQuit;
  run.os.startedProcess.ignoresClose = c.ignoresClose;
  run.EmulatorWindowAppears(50);
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(20000), c.exitCode);
  // Never before the exit key is up again.
  EXPECT_EQ(run.os.now(), std::max<std::uint64_t>(c.endsAt, 2100));
  EXPECT_EQ(run.os.TraceOf("PostMessage"), c.posted);
  EXPECT_EQ(!run.os.TraceOf("TerminateTree").empty(), c.terminated);
}

INSTANTIATE_TEST_SUITE_P(
    Closes, CloseLadderTest,
    ::testing::Values(
        LadderCase{"QuitsOnWmQuit", {}, false, false, kExitNormal, 2000, {kQuit}, false},
        LadderCase{"QuitsOnWmClose", {}, true, false, kExitNormal, 5000, {kQuit, kClose}, false},
        LadderCase{"IgnoresBothAndIsLeft",
                   {},
                   true,
                   true,
                   kExitEmulatorLeft,
                   8000,
                   {kQuit, kClose},
                   false},
        LadderCase{"IgnoresBothAndIsEndedByForce",
                   {"terminate=on", "closewait=1000"},
                   true,
                   true,
                   kExitNormal,
                   4000,
                   {kQuit, kClose},
                   true},
        // As before: WM_QUIT and gone, whatever the emulator does.
        LadderCase{"CloseWaitZeroDoesNotWait",
                   {"closewait=0"},
                   true,
                   true,
                   kExitNormal,
                   2000,
                   {kQuit},
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LifeTest, CloseModeNullClosesAWindowOfTheEmulatorInFront) {
  config.handles = {"My Emulator", "null"};
  // The game runs in a second window of the emulator, with another title.
  run.os.AddWindow({0x77, kEmulator, "Game: Alpha", 1000, 1000});
  Begin();
  run.os.At(1000, [&] { run.os.foreground = 0x77; });
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(3000), kExitNormal);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre("PostMessage 0x77 0x12 0 0"));
}

TEST_F(LifeTest, CloseModeNullNeverClosesAnotherProgramInFront) {
  config.handles = {"My Emulator", "null"};
  run.os.AddProcess({300, 0});
  run.os.AddWindow({0x99, 300, "Some Popup"});
  Begin();
  run.os.At(1000, [&] { run.os.foreground = 0x99; });
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(3000), kExitNormal);
  // The emulator's own window gets the quit instead.
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuit));
  EXPECT_FALSE(run.os.ProcessHasEnded(300));
}

TEST_F(LifeTest, CloseModeNullAfterTheEmulatorHasGoneLeavesTheFrontEndAlone) {
  config.handles = {"My Emulator", "null"};
  config.options = {"follow=off"};
  Begin();
  run.os.At(1000, [&] { run.os.PostWindowMessage(SimulatedRun::kEmulatorWindow, kWmQuit, 0, 0); });
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(3000), kExitNormal);
  EXPECT_EQ(run.os.foreground, FakePlatform::kFrontEndWindow);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuit));  // only the one at 1000
  EXPECT_FALSE(run.os.ProcessHasEnded(FakePlatform::kFrontEndProcess));
}

TEST_F(LifeTest, ALeftoverWindowOfAnotherProcessDoesNotGetTheKeys) {
  run.os.AddProcess({300, 0});
  run.os.AddWindow({0x55, 300, "My Emulator"});  // stale
  Begin();
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_THAT(run.os.TraceOf("BringToFront"), ::testing::Each("BringToFront 0x2a"));
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuit));
}

TEST_F(LifeTest, ASingleInstanceHandOverFallsBackToTheOtherWindow) {
  // Our process never opens a window: the copy already running has it.
  run.os.AddProcess({300, 0});
  run.os.AddWindow({0x55, 300, "My Emulator"});
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(4900), std::nullopt);
  EXPECT_EQ(run.Keys(), "");
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  EXPECT_THAT(run.os.TraceOf("BringToFront"), ::testing::Each("BringToFront 0x55"));
}

std::uint64_t FirstKeyAt(const FakePlatform& os) {
  for (const auto& event : os.events()) {
    if (event.what.rfind("Key ", 0) == 0) return event.time;
  }
  return FakePlatform::kNever;
}

TEST_F(LifeTest, AVisibleWindowIsPreferredOverAHiddenOne) {
  run.os.AddWindow({0x56, kEmulator, "My Emulator", 0, FakePlatform::kNever});  // never shown
  run.EmulatorWindowAppears(1000);
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(5000), std::nullopt);
  EXPECT_EQ(FirstKeyAt(run.os), 1000u);
  EXPECT_THAT(run.os.TraceOf("BringToFront"), ::testing::Each("BringToFront 0x2a"));
}

TEST_F(LifeTest, AWindowThatStaysHiddenIsTypedIntoOnceSettled) {
  run.os.AddWindow({0x56, kEmulator, "My Emulator", 100, FakePlatform::kNever});
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(5000), std::nullopt);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  EXPECT_EQ(FirstKeyAt(run.os), 100u + kFocusSettleMs);
}

TEST_F(LifeTest, ExitDuringTheWaitWithNothingToPostEndsAtOnce) {
  config.options = {"terminate=on"};
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 3000, 3100);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);
  EXPECT_EQ(run.os.now(), 3100u);  // at the key's release
  EXPECT_THAT(run.os.TraceOf("TerminateTree"), ElementsAre("TerminateTree 100"));
}

TEST_F(LifeTest, ExitDuringTheWaitLeavesTheStartedProcessWithoutTerminate) {
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 3000, 3100);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);
  EXPECT_TRUE(run.os.TraceOf("TerminateTree").empty());
}

TEST_F(LifeTest, KillWithRuskelIsAskedOfTheStart) {
  config.options = {"killwithruskel=on"};
  Begin();
  EXPECT_THAT(run.os.TraceOf("StartProcess")[0], ::testing::EndsWith(" killwithruskel"));
}

TEST_F(LifeTest, AJobRefusedIsLoggedAndTheRunGoesOn) {
  config.options = {"killwithruskel=on", "log=ruskel.log"};
  run.os.jobRefused = true;
  Begin();
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_THAT(run.os.files["C:\\Games\\ruskel\\ruskel.log"],
              ::testing::HasSubstr("could not be put in a job that ends it with ruskel"));
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
}

TEST_F(LifeTest, TerminateEndsTheEmulatorsWholeTree) {
  config.options = {"terminate=on", "closewait=100"};
  run.os.startedProcess.ignoresQuit = true;
  run.os.startedProcess.ignoresClose = true;
  Begin();
  // A helper the emulator started, and a program that is none of its own.
  run.os.AddProcess({300, FakePlatform::kFirstStartedProcess});
  run.os.AddProcess({400, FakePlatform::kFrontEndProcess});
  run.os.PressKey(27, 1000, 1100);
  EXPECT_EQ(run.RunFor(5000), kExitNormal);
  EXPECT_FALSE(run.os.IsProcessRunning(300));
  EXPECT_TRUE(run.os.IsProcessRunning(400));
}

TEST_F(LifeTest, AnUnlistedRomStillStartsTheEmulatorFirst) {
  Begin("-notlisted");
  EXPECT_EQ(run.RunFor(1000), kExitRomNotListed);
  const auto trace = run.os.Trace();
  const auto start = std::find_if(trace.begin(), trace.end(), [](const std::string& e) {
    return e.rfind("StartProcess", 0) == 0;
  });
  const auto quit = std::find(trace.begin(), trace.end(), kQuit);
  ASSERT_NE(start, trace.end());
  ASSERT_NE(quit, trace.end());
  EXPECT_LT(start, quit);
}

}  // namespace
}  // namespace ruskel
