// EmulatorLife: the emulator followed when it ends by itself, and a launcher
// that hands over to it.
#include "driver/emulator_life.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/front_end.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::SimulatedRun;

constexpr ProcessId kEmulator = SimulatedRun::kEmulatorProcess;

class LifeTest : public ::testing::Test {
 protected:
  void Begin() { ASSERT_TRUE(run.Begin(config, "-alpha", 50)); }
  ConfigText config;
  SimulatedRun run;
};

TEST_F(LifeTest, EmulatorEndingByItselfEndsTheRunWithCode6AndPostsNothing) {
  run.os.startedProcess.endsAt = 4000;
  Begin();
  EXPECT_EQ(run.RunFor(10000), kExitEmulatorEnded);
  EXPECT_EQ(run.os.now(), 4000u + kHandBackCheckMs);
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
  run.WriteConfig(config);
  run.os.AddWindow({SimulatedRun::kEmulatorWindow, 200, "My Emulator", 50, 50});
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(4000), std::nullopt);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  // The real emulator's end is followed.
  EXPECT_EQ(run.RunFor(2000), kExitEmulatorEnded);
  EXPECT_EQ(run.os.now(), 5000u + kHandBackCheckMs);
}

TEST_F(LifeTest, AnEmulatorThatEndsBeforeItsWindowEndsTheRunAfterTheHandOverBound) {
  run.os.startedProcess.endsAt = 500;  // crashed while loading
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(500 + kHandOverMs - 300), std::nullopt);
  // Seen at the next lookup: once a second by then.
  EXPECT_EQ(run.RunFor(300 + kLongWaitLookupMs), kExitEmulatorEnded);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre());
}

TEST_F(LifeTest, WindowTitleNullFollowsTheStartedProcess) {
  config.handles = {"null", "null"};
  run.os.startedProcess.endsAt = 3000;
  Begin();
  EXPECT_EQ(run.RunFor(10000), kExitEmulatorEnded);
  EXPECT_EQ(run.os.now(), 3000u + kHandBackCheckMs);
}

}  // namespace
}  // namespace ruskel
