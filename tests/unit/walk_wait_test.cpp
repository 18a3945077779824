// The walk's wait and click steps on the simulated system: a wait met, a wait
// that runs out, the exit key during a wait, a game section's own steps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "case_name.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using testing::KeyTimes;
using testing::kQuitEmulator;
using testing::SimulatedRun;
using testing::TimeOf;
using ::testing::HasSubstr;
using ::testing::Not;

const std::string kLog = "C:\\Games\\ruskel\\ruskel.log";
const std::string kAllKeys = "13d 13u 40d 40u 13d 13u";  // -beta: startup, one select, enter

ConfigText WithLog(std::vector<std::string> options = {}) {
  ConfigText config;
  config.options = {"log=ruskel.log", "match=prefix"};
  config.options.insert(config.options.end(), options.begin(), options.end());
  return config;
}

// Each kind of wait holds the keys after it until the emulator shows what it
// waits for; the log says how long it took. The walk's lines: 13 is
// {entersequence}, so the wait in front of its keys is line 14.
struct MetCase {
  const char* name;
  std::string wait;
  std::function<void(SimulatedRun&)> showAt600;
  std::string logged;
};

class WaitMetTest : public ::testing::TestWithParam<MetCase> {};

TEST_P(WaitMetTest, HoldsTheKeysAfterItUntilMet) {
  const MetCase& c = GetParam();
  SimulatedRun run;
  ConfigText config = WithLog();
  config.enter = {c.wait, "13/down", "13/up"};
  run.os.inputIdleAt = FakePlatform::kNever;
  run.os.At(600, [&] { c.showAt600(run); });
  ASSERT_TRUE(run.Begin(config, "-beta"));
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  EXPECT_EQ(run.Keys(), kAllKeys);
  const auto times = KeyTimes(run.os);
  ASSERT_EQ(times.size(), 6u);
  EXPECT_LT(times[3], 600u);
  EXPECT_GE(times[4], 600u);
  EXPECT_LT(times[4], 600u + 60);  // looked at again within a pace
  const std::string& log = run.os.files[kLog];
  EXPECT_THAT(log, HasSubstr(c.logged + " (line 14) met after ")) << log;
  EXPECT_THAT(log, HasSubstr("launch time ")) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WaitMetTest,
    ::testing::Values(
        MetCase{"title with the game's name", "wait title - {game}",
                [](SimulatedRun& r) { r.os.Retitle(SimulatedRun::kEmulatorWindow, "My Emulator - BETA"); },
                "wait title - {game}"},
        MetCase{"pixel within the tolerance", "wait pixel 5,7 00FF00",
                [](SimulatedRun& r) { r.os.clientPixels[{5, 7}] = 0x05F808; },
                "wait pixel 5,7 00FF00"},
        MetCase{"idle", "wait idle", [](SimulatedRun& r) { r.os.inputIdleAt = 600; },
                "wait idle"},
        MetCase{"pause", "wait 600", [](SimulatedRun&) {}, "wait 600"}),
    testing::NamedBy([](const MetCase& c) { return std::string(c.name); }));

// A wait that is never met fails the launch: the log names the step, its line
// and what it saw; the emulator is closed and the front end gets the front.
struct TimeoutCase {
  const char* name;
  std::string wait;
  std::string seen;
};

class WaitTimeoutTest : public ::testing::TestWithParam<TimeoutCase> {};

TEST_P(WaitTimeoutTest, ClosesTheEmulatorAndEndsWithItsCode) {
  const TimeoutCase& c = GetParam();
  SimulatedRun run;
  ConfigText config = WithLog({"waitlimit=1000"});
  config.enter = {c.wait, "13/down", "13/up"};
  run.os.inputIdleAt = FakePlatform::kNever;
  ASSERT_TRUE(run.Begin(config, "-beta"));
  EXPECT_EQ(run.RunFor(10000), kExitWaitTimedOut);
  EXPECT_EQ(run.Keys(), "13d 13u 40d 40u");  // not the enter sequence
  const std::uint64_t quitAt = TimeOf(run.os, kQuitEmulator);
  EXPECT_GE(quitAt, 1000u);
  EXPECT_LT(quitAt, 1100u);
  EXPECT_EQ(run.os.foreground, FakePlatform::kFrontEndWindow);
  const std::string& log = run.os.files[kLog];
  EXPECT_THAT(log, HasSubstr(c.wait + " (line 14) not met within 1000 ms (waitlimit); " + c.seen))
      << log;
  EXPECT_THAT(log, Not(HasSubstr("launch time"))) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WaitTimeoutTest,
    ::testing::Values(TimeoutCase{"title", "wait title Playing", "the title is \"My Emulator\""},
                      TimeoutCase{"pixel", "wait pixel 1,2 FFFFFF", "the pixel is 000000"},
                      TimeoutCase{"idle", "wait idle", "the emulator is still busy"}),
    testing::NamedBy([](const TimeoutCase& c) { return std::string(c.name); }));

TEST(WaitStepTest, TheExitKeyEndsTheRunDuringAWait) {
  SimulatedRun run;
  ConfigText config = WithLog();
  config.startup = {"wait title never"};
  run.os.PressKey(27, 2000, 2100);
  ASSERT_TRUE(run.Begin(config, "-beta -keyx27"));
  EXPECT_EQ(run.RunFor(20000), kExitNormal);
  EXPECT_EQ(run.Keys(), "");
  const std::uint64_t quitAt = TimeOf(run.os, kQuitEmulator);
  EXPECT_GE(quitAt, 2000u);
  EXPECT_LT(quitAt, 2100u);
  EXPECT_THAT(run.os.files[kLog], Not(HasSubstr("not met"))) << run.os.files[kLog];
}

TEST(WaitStepTest, PausesAddUpWithKeydelay) {
  SimulatedRun run;
  ConfigText config = WithLog({"keydelay=20"});
  config.startup = {"13/down", "wait 300", "13/up"};
  ASSERT_TRUE(run.Begin(config, "-beta", 100));
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  EXPECT_EQ(run.Keys(), kAllKeys);
  const auto times = KeyTimes(run.os);
  // The key is held for its pace, then the pause, then it goes up.
  EXPECT_EQ(times[1] - times[0], 20u + 300u);
}

// A {game NAME} section's misc sequence brings its own waits; the file's misc
// is not played for that rom.
TEST(WaitStepTest, AGameSectionsMiscWaitsWithItsOwnSteps) {
  SimulatedRun run;
  ConfigText config = WithLog();
  config.timer = "timer=100";
  config.misc = {"32/down", "32/up"};
  config.tail = {"{game beta}", "{misc}", "wait pixel 3,3 FF0000", "65/down", "65/up", "{/misc}",
                 "{/game}"};
  run.os.At(1500, [&] { run.os.clientPixels[{3, 3}] = 0xFF0000; });
  ASSERT_TRUE(run.Begin(config, "-beta"));
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  EXPECT_EQ(run.Keys(), kAllKeys + " 65d 65u");
  EXPECT_GE(KeyTimes(run.os).back(), 1500u);
  EXPECT_THAT(run.os.files[kLog], HasSubstr("wait pixel 3,3 FF0000 (line 34) met after "));
}

TEST(ClickStepTest, ClicksAtTheClientPointAndPutsThePointerBack) {
  SimulatedRun run;
  ConfigText config = WithLog();
  config.enter = {"click 10,20", "13/down", "13/up"};
  ASSERT_TRUE(run.Begin(config, "-beta"));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_EQ(run.Keys(), kAllKeys);
  const auto trace = run.os.Trace();
  const auto click = std::find(trace.begin(), trace.end(), "ClickLeft 10,20");
  ASSERT_NE(click, trace.end());
  ASSERT_NE(click + 1, trace.end());
  EXPECT_EQ(*(click + 1), "MovePointer 400,300");
  EXPECT_EQ(run.os.pointer, (ScreenPoint{400, 300}));
  EXPECT_THAT(run.os.files[kLog], HasSubstr("click 10,20 (line 14): clicked at screen 10,20"));
}

}  // namespace
}  // namespace ruskel
