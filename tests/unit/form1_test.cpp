// Form1: the phases of whole runs, the timers each phase runs, and one
// handler at a time.
#include "driver/form1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::GamesWith;
using testing::KeyTimes;
using testing::kQuitEmulator;
using testing::Repeat;
using testing::SimulatedRun;
using testing::TimeOf;

const std::string kStartup = "13d 13u";
const std::string kSelect = "40d 40u";
const std::string kEnter = "13d 13u";

// mygame in slot 12, a misc sequence after 3 s, the window up after 50 ms.
class TypicalRun : public ::testing::Test {
 protected:
  void SetUp() override {
    config.games = GamesWith("mygame", 12, 20);
    config.timer = "timer=3000";
    config.misc = {"32/down", "32/up"};
    run.os.joystickPresent = true;
  }

  ConfigText config;
  SimulatedRun run;
};

TEST_F(TypicalRun, SelectsTheGamePlaysMiscAndEndsOnTheExitKey) {
  ASSERT_TRUE(run.Begin(config, "-mygame -keyx27 -butx4", 50));
  run.os.PressKey(27, 5000, 5100);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);

  EXPECT_EQ(run.Keys(), kStartup + " " + Repeat(kSelect, 12) + " " + kEnter + " 32d 32u");
  const auto& os = run.os;
  const std::uint64_t found = TimeOf(os, "BringToFront 0x2a");
  EXPECT_EQ(found, 50u);
  EXPECT_EQ(TimeOf(os, "Key 13 down"), found);  // the whole dialogue inside one tick
  EXPECT_EQ(TimeOf(os, "Key 32 down"), found + 3000);
  EXPECT_EQ(TimeOf(os, kQuitEmulator), 5000u);
  EXPECT_EQ(os.Trace().back(), "EndProcess 0");
  EXPECT_EQ(run.state->GameIndex, 12);
}

TEST_F(TypicalRun, AnExitKeyAsTheWindowAppearsComesAfterTheWholeWalk) {
  ASSERT_TRUE(run.Begin(config, "-mygame", 50));
  // Pressed at the very moment the window appears (50 ms): keys sent back to
  // back are typed in full within one handler, and the exit comes after them.
  run.os.PressKey(27, 50, 1000);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
  EXPECT_EQ(run.Keys(), kStartup + " " + Repeat(kSelect, 12) + " " + kEnter);
  EXPECT_EQ(TimeOf(run.os, "Key 13 down"), 50u);
  EXPECT_EQ(TimeOf(run.os, kQuitEmulator), 50u);
  const auto trace = run.os.Trace();
  const auto lastKey = std::find_if(trace.rbegin(), trace.rend(),
                                    [](const std::string& e) { return e.rfind("Key ", 0) == 0; });
  const auto quit = std::find(trace.begin(), trace.end(), kQuitEmulator);
  EXPECT_LT(lastKey.base() - trace.begin(), quit - trace.begin());
}

// The exit key comes as events; only whether any window holds the front is
// looked at, once a second, and the key by its state only while none does.
TEST_F(TypicalRun, OnceTheWalkIsDoneOnlyTheFrontIsLookedAtWithTheExitKeyAlone) {
  config.timer = "timer=0";
  run.os.tracePolls = true;
  ASSERT_TRUE(run.Begin(config, "-mygame", 300));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  const std::size_t ticks = run.os.timerTicks();
  const std::size_t looks = run.os.TraceOf("LookAtKey").size();
  EXPECT_EQ(run.RunFor(60000), std::nullopt);
  EXPECT_EQ(run.os.timerTicks(), ticks + 60000 / kFrontLookMs);
  EXPECT_EQ(run.os.TraceOf("LookAtKey").size(), looks);
  EXPECT_THAT(run.os.RunningTimers(), ElementsAre(static_cast<int>(TimerId::keyLook)));
}

TEST_F(TypicalRun, MiscDelayZeroNeverPlaysMisc) {
  config.timer = "timer=0";
  ASSERT_TRUE(run.Begin(config, "-mygame"));
  EXPECT_EQ(run.RunFor(70000), std::nullopt);
  EXPECT_EQ(run.Keys(), kStartup + " " + Repeat(kSelect, 12) + " " + kEnter);
  EXPECT_TRUE(run.os.TraceOf("StartTimer 3").empty());
}

TEST(StartDelayTest, WaitsAfterTheWindowIsInFrontAndChecksTheFrontAgain) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"startdelay=1500"};
  ASSERT_TRUE(run.Begin(config, "-alpha", 100));
  run.os.At(800, [&] { run.os.foreground = FakePlatform::kFrontEndWindow; });  // something took it
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  const auto keys = KeyTimes(run.os);
  ASSERT_FALSE(keys.empty());
  EXPECT_EQ(keys.front(), 1600u);
  // The last bring-to-front comes right before the first key.
  std::uint64_t lastFront = 0;
  for (const auto& event : run.os.events()) {
    if (event.what == "BringToFront 0x2a") lastFront = event.time;
  }
  EXPECT_EQ(lastFront, 1600u);
}

TEST(Form1Test, TicksDuringAnErrorBoxDoNotReenterTheHandlers) {
  SimulatedRun run;
  ConfigText config;
  config.timer = "timer=100";
  ASSERT_TRUE(run.Begin(config, "-alpha"));
  ASSERT_EQ(run.RunFor(50), std::nullopt);
  // A table the loader would refuse, so that playing it fails inside misc_Timer.
  run.state->MiscSeq[0] = {"300", "down", {}};
  int nested = 0;
  run.os.whileMessageBoxShown = [&] {
    run.os.PressKey(27, run.os.now(), run.os.now() + 1000);  // would end the run if ticked
    for (TimerId timer : {TimerId::Timkey, TimerId::timWfExit, TimerId::misc, TimerId::keyLook}) {
      run.form.OnEvent({EventKind::Timer, static_cast<int>(timer)});
    }
    ++nested;
  };
  EXPECT_EQ(run.RunFor(200), kExitInternal);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(run.os.TraceOf("ErrorBox").size(), 1u);
  EXPECT_EQ(run.os.Trace().back(), "EndProcess 5");
}

}  // namespace
}  // namespace ruskel
