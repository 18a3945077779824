// The one end of a run: whatever the way out, the desktop is put back once
// (curtain, pointer, held keys), and set-up Windows refuses ends the run with
// the system's reason.
#include "driver/run_finish.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::HasSubstr;
using testing::SimulatedRun;

constexpr std::uint8_t kHeldKey = 16;  // a key no sequence of the test types

struct WayOut {
  const char* name;
  const char* arguments;
  std::function<void(SimulatedRun&)> script;  // before Main
  int exitCode;
  bool windowComes = true;
};

class EveryWayOutTest : public ::testing::TestWithParam<WayOut> {};

TEST_P(EveryWayOutTest, PutsTheDesktopBackOnce) {
  const WayOut& c = GetParam();
  SimulatedRun run;
  ConfigText config;
  config.options = {"curtain=on", "cursor=hide", "closewait=200", "log=ruskel.log"};
  config.timer = "timer=3000";
  config.misc = {"32/down", "32/up"};
  run.os.joystickPresent = true;
  run.WriteConfig(config);
  if (c.windowComes) run.EmulatorWindowAppears(50);
  c.script(run);
  ASSERT_TRUE(run.Start(c.arguments));
  run.state->KeysHeld.push_back(kHeldKey);  // as a sequence that ends on a key down leaves it
  EXPECT_EQ(run.RunFor(60000), c.exitCode);
  EXPECT_EQ(run.os.TraceOf("Key " + std::to_string(kHeldKey) + " up").size(), 1u);
  EXPECT_EQ(run.os.TraceOf("Curtain off").size(), 1u);
  EXPECT_EQ(run.os.TraceOf("RestoreCursors").size(), 1u);
  EXPECT_EQ(run.os.TraceOf("EndProcess").size(), 1u);
  const std::string& log = run.os.files[run.os.programDir + "\\ruskel.log"];
  EXPECT_THAT(log, HasSubstr("exit code " + std::to_string(c.exitCode) + "\r\n"));
}

void PressExitKey(SimulatedRun& run) {
  run.os.PressKey(27, 2000, 2100);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, EveryWayOutTest,
    ::testing::Values(WayOut{"ExitKey", "-alpha", PressExitKey, kExitNormal},
                      // No window ever comes: the emulator is left running.
                      WayOut{"ExitKeyDuringTheWait", "-alpha", PressExitKey, kExitEmulatorLeft,
                             false},
                      WayOut{"Pad", "-alpha -butx1",
                             [](SimulatedRun& run) { run.os.HoldButtons(1, 2000, 2100); },
                             kExitNormal},
                      WayOut{"CloseRequest", "-alpha",
                             [](SimulatedRun& run) { run.os.RequestClose(2000); }, kExitNormal},
                      WayOut{"EmulatorGone", "-alpha",
                             [](SimulatedRun& run) { run.os.startedProcess.endsAt = 2000; },
                             kExitEmulatorEnded},
                      WayOut{"FailedWait", "-alpha",
                             [](SimulatedRun& run) { run.os.startedProcess.endsAt = 1000; },
                             kExitEmulatorEnded, false},
                      WayOut{"RomNotListed", "-zzz", [](SimulatedRun&) {}, kExitRomNotListed},
                      // A table the loader would refuse, so that playing misc fails.
                      WayOut{"Error", "-alpha",
                             [](SimulatedRun& run) {
                               run.os.At(1000, [&run] { run.state->MiscSeq[0] = {"300", "down", {}}; });
                             },
                             kExitInternal}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
  const char* name;
  std::function<void(FakePlatform&)> refuse;
  const char* says;
};

class RefusedSetUpTest : public ::testing::TestWithParam<Refusal> {};

// Never a run that waits on a timer or a key it cannot get.
TEST_P(RefusedSetUpTest, EndsTheRunWithTheSystemsReason) {
  const Refusal& c = GetParam();
  SimulatedRun run;
  ConfigText config;
  config.options = {"log=ruskel.log"};
  c.refuse(run.os);
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  if (run.Start("-alpha")) run.RunFor(10000);
  EXPECT_EQ(run.os.exitCode(), kExitSystemRefused);
  const auto boxes = run.os.TraceOf("ErrorBox: ");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_THAT(boxes[0], HasSubstr(c.says));
  EXPECT_THAT(boxes[0], HasSubstr("Not enough quota"));  // the system's own words
  EXPECT_TRUE(run.os.TraceOf("Key ").empty());
  // An emulator started before the refusal is not left running unattended.
  if (!run.os.started.empty()) {
    EXPECT_FALSE(run.os.IsProcessRunning(SimulatedRun::kEmulatorProcess));
  }
}

INSTANTIATE_TEST_SUITE_P(
    SetUp, RefusedSetUpTest,
    ::testing::Values(Refusal{"HostWindow", [](FakePlatform& os) { os.timerWindowRefused = true; },
                              "Cannot create ruskel's hidden window"},
                      Refusal{"Timer", [](FakePlatform& os) { os.timerRefused = 1; },
                              "Cannot start timer 1"},
                      Refusal{"KeyWatch", [](FakePlatform& os) { os.keyWatchRefused = true; },
                              "Cannot watch the keyboard for the exit key"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunFinishTest, ARefusedTimerIsInTheLog) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"log=ruskel.log"};
  run.os.timerRefused = 1;
  ASSERT_TRUE(run.Begin(config, "-alpha", 50) || run.os.exitCode());
  const std::string& log = run.os.files[run.os.programDir + "\\ruskel.log"];
  EXPECT_THAT(log, HasSubstr("error: Cannot start timer 1.\n\nWindows says: Not enough quota"));
  EXPECT_THAT(log, HasSubstr("exit code 9\r\n"));
}

// Each stronger bring-forward flashes a task bar button: the log counts
// them, and says nothing when there were none.
TEST(RunFinishTest, StrongerBringForwardsAreCountedInTheLog) {
  for (const std::uint32_t climbs : {0u, 3u}) {
    SimulatedRun run;
    ConfigText config;
    config.options = {"log=ruskel.log"};
    run.os.strongFrontClimbs = climbs;
    ASSERT_TRUE(run.Begin(config, "-alpha", 50));
    run.os.PressKey(27, 1000, 1100);
    run.RunFor(10000);
    const std::string& log = run.os.files[run.os.programDir + "\\ruskel.log"];
    const bool said = log.find("asked harder to come to the front 3 times") != std::string::npos;
    EXPECT_EQ(said, climbs > 0) << climbs;
  }
}

}  // namespace
}  // namespace ruskel
