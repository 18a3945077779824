// The mouse pointer out of sight (cursor=park|hide) and back on every end of
// a run, on the fake platform.
#include "driver/pointer_keeper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::SimulatedRun;
using testing::TimeOf;

constexpr ScreenRect kRightMonitor = {1920, -200, 3200, 824};

std::string RunLog(const SimulatedRun& run) {
  const auto it = run.os.files.find(run.os.programDir + "\\ruskel.log");
  return it == run.os.files.end() ? "" : it->second;
}

TEST(PointerKeeperTest, ParksFromTheWindowFoundAndPutsThePointerBackAtTheEnd) {
  struct Case {
    const char* name;
    std::vector<std::string> options;
    bool onRightMonitor;
    std::string parkedAt;
  };
  const Case cases[] = {
      {"middle of the primary's right edge", {"cursor=park"}, false, "1919,540"},
      {"middle of the right edge of the window's monitor", {"cursor=park"}, true, "3199,312"},
      {"cursorpark given", {"cursor=park", "cursorpark=-5,7"}, true, "-5,7"},
  };
  for (const Case& c : cases) {
    SimulatedRun run;
    ConfigText config;
    config.options = c.options;
    if (c.onRightMonitor) run.os.windowMonitors[SimulatedRun::kEmulatorWindow] = kRightMonitor;
    ASSERT_TRUE(run.Begin(config, "-beta", 50)) << c.name;
    run.os.PressKey(27, 2000, 2050);
    EXPECT_EQ(run.RunFor(10000), kExitNormal) << c.name;
    EXPECT_THAT(run.os.TraceOf("MovePointer"),
                ElementsAre("MovePointer " + c.parkedAt, "MovePointer 400,300"))
        << c.name;
    EXPECT_EQ(TimeOf(run.os, "MovePointer"), 50u) << c.name;
  }
}

// A window that took the front mid-walk may have come with a moved pointer.
TEST(PointerKeeperTest, ParksAgainWhenTheEmulatorIsBroughtBack) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"cursor=park", "keydelay=100", "log=ruskel.log"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  run.os.AddWindow({0x77, FakePlatform::kFrontEndProcess, "Busy"});
  ASSERT_TRUE(run.Start("-beta"));
  run.os.At(360, [&] {
    run.os.foreground = 0x77;
    run.os.pointer = ScreenPoint{10, 10};
  });
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  EXPECT_THAT(run.os.TraceOf("MovePointer"),
              ElementsAre("MovePointer 1919,540", "MovePointer 1919,540"));
  run.os.PressKey(27, 4000, 4050);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);
  // Back where it was before the first park.
  EXPECT_EQ(run.os.TraceOf("MovePointer").back(), "MovePointer 400,300");
  EXPECT_THAT(RunLog(run), HasSubstr("pointer parked at 1919,540 (it was at 10,10)"));
  EXPECT_THAT(RunLog(run), HasSubstr("pointer put back at 400,300"));
}

TEST(PointerKeeperTest, HiddenCursorsComeBackOnEveryEndOfTheRun) {
  struct Case {
    const char* name;
    std::function<void(SimulatedRun&, ConfigText&)> setUp;
    int exitCode;
  };
  const Case cases[] = {
      {"exit key", [](SimulatedRun& r, ConfigText&) { r.os.PressKey(27, 2000, 2050); },
       kExitNormal},
      {"emulator quits by itself",
       [](SimulatedRun& r, ConfigText&) { r.os.startedProcess.endsAt = 2000; }, kExitEmulatorEnded},
      {"close request", [](SimulatedRun& r, ConfigText&) { r.os.RequestClose(2000); }, kExitNormal},
      {"rom not listed",
       [](SimulatedRun&, ConfigText& c) {
         c.games = {"alpha", "gamma"};
       },
       kExitRomNotListed},
      {"focuswait over",
       [](SimulatedRun& r, ConfigText& c) {
         c.options.push_back("focuswait=1000");
         r.os.foregroundRefused = true;
       },
       kExitNoFocus},
      {"emulator gone before its window",
       [](SimulatedRun& r, ConfigText& c) {
         c.handles = {"Never Shown", "title"};
         r.os.startedProcess.endsAt = 500;
       },
       kExitEmulatorEnded},
  };
  for (const Case& c : cases) {
    SimulatedRun run;
    ConfigText config;
    config.options = {"cursor=hide"};
    c.setUp(run, config);
    ASSERT_TRUE(run.Begin(config, "-beta", 50)) << c.name;
    EXPECT_TRUE(run.os.cursorsBlank) << c.name;
    EXPECT_TRUE(run.os.cursorsMarkedBlank) << c.name;
    EXPECT_EQ(run.RunFor(60000), c.exitCode) << c.name;
    EXPECT_FALSE(run.os.cursorsBlank) << c.name;
    EXPECT_FALSE(run.os.cursorsMarkedBlank) << c.name;
    EXPECT_THAT(run.os.TraceOf("RestoreCursors"), ElementsAre("RestoreCursors")) << c.name;
  }
}

TEST(PointerKeeperTest, AnErrorBoxComesWithTheCursorsBack) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"cursor=hide"};
  ASSERT_TRUE(run.Begin(config, "-alpha", 50));
  EXPECT_FALSE(run.os.RunMain([&] { run.form.Finish(RunEnd::Error(kExitInternal, "boom")); }));
  const auto trace = run.os.Trace();
  const auto restored = std::find(trace.begin(), trace.end(), "RestoreCursors");
  const auto box = std::find(trace.begin(), trace.end(), "ErrorBox: boom");
  EXPECT_TRUE(restored < box);
  EXPECT_FALSE(run.os.cursorsMarkedBlank);
}

TEST(PointerKeeperTest, TheNextStartRestoresCursorsARunEndedByForceLeftBlank) {
  SimulatedRun killed;
  ConfigText hide;
  hide.options = {"cursor=hide"};
  ASSERT_TRUE(killed.Begin(hide, "-beta", 50));
  EXPECT_EQ(killed.RunFor(3000), std::nullopt);  // ended by force here: nothing more runs

  SimulatedRun next;
  next.os.cursorsBlank = killed.os.cursorsBlank;
  next.os.cursorsMarkedBlank = killed.os.cursorsMarkedBlank;
  ConfigText off;
  off.options = {"log=ruskel.log"};
  ASSERT_TRUE(next.Begin(off, "-beta", 50));
  EXPECT_FALSE(next.os.cursorsBlank);
  EXPECT_FALSE(next.os.cursorsMarkedBlank);
  const auto trace = next.os.Trace();
  EXPECT_TRUE(std::find(trace.begin(), trace.end(), "RestoreCursors") <
              std::find_if(trace.begin(), trace.end(),
                           [](const std::string& e) { return e.rfind("StartProcess", 0) == 0; }));
  EXPECT_THAT(RunLog(next), HasSubstr("system cursors left blank by an earlier run (ended by "
                                      "force) restored"));

  // A start that only shows the usage restores them too.
  SimulatedRun usage;
  usage.os.cursorsBlank = usage.os.cursorsMarkedBlank = true;
  usage.WriteConfig(off);
  EXPECT_FALSE(usage.Start(""));
  EXPECT_FALSE(usage.os.cursorsBlank);
  EXPECT_FALSE(usage.os.cursorsMarkedBlank);

  // Without the mark a start leaves the cursors alone.
  SimulatedRun plain;
  ASSERT_TRUE(plain.Begin(off, "-beta", 50));
  EXPECT_THAT(plain.os.TraceOf("RestoreCursors"), ElementsAre());
}

TEST(PointerKeeperTest, NoMarkNoBlankCursors) {
  SimulatedRun run;
  run.os.markUnwritable = true;
  ConfigText config;
  config.options = {"cursor=hide", "log=ruskel.log"};
  ASSERT_TRUE(run.Begin(config, "-beta", 50));
  EXPECT_THAT(run.os.TraceOf("BlankCursors"), ElementsAre());
  EXPECT_THAT(RunLog(run), HasSubstr("the cursors stay as they are"));
}

}  // namespace
}  // namespace ruskel
