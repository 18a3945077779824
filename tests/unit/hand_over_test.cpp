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

// ruskel (60) was started by 50, started in turn by 40, by 30.
TEST(HandOverTest, TheFrontEndIsTheNearestAncestorThatOwnsAWindowAndNeverTheShell) {
  struct Case {
    const char* name;
    std::function<void(FakePlatform&)> world;
    ProcessId process;
    WindowHandle window;
    bool shell;
  };
  const auto console = [](FakePlatform& os, WindowHandle handle, ProcessId owner) {
    FakePlatform::Window window{handle, owner, "cmd"};
    window.className = std::string(kConsoleClass);
    os.AddWindow(window);
  };
  const auto hidden = [](FakePlatform& os, WindowHandle handle, ProcessId owner, const char* cls) {
    FakePlatform::Window window{handle, owner, "", 0, FakePlatform::kNever};
    window.className = cls;
    os.AddWindow(window);
  };
  const Case cases[] = {
      {"the parent's visible window", [](FakePlatform&) {}, 50, FakePlatform::kFrontEndWindow,
       false},
      // A front end that hides its window during the game is still the front end.
      {"the parent with its window hidden",
       [](FakePlatform& os) { os.HideWindow(FakePlatform::kFrontEndWindow); }, 50, 0, false},
      {"past a launcher that owns only a console",
       [&](FakePlatform& os) {
         os.AddProcess({FakePlatform::kFrontEndProcess, 40});
         os.AddWindow({0x90, 40, "Menu"});
         // the batch file's cmd.exe: its console window only
         os.RemoveWindow(FakePlatform::kFrontEndWindow);
         console(os, 0x91, FakePlatform::kFrontEndProcess);
       },
       40, 0x90, false},
      {"started by the shell",
       [](FakePlatform& os) { os.shellProcess = FakePlatform::kFrontEndProcess; }, 0, 0, true},
      {"past a console to the shell",
       [&](FakePlatform& os) {
         os.AddProcess({FakePlatform::kFrontEndProcess, 40});
         os.RemoveWindow(FakePlatform::kFrontEndWindow);
         console(os, 0x91, FakePlatform::kFrontEndProcess);
         os.AddWindow({0x90, 40, "Documents"});
         os.shellProcess = 40;
       },
       0, 0, true},
      // No shell window known to Windows, but the task bar's class gives it away.
      {"a process that owns the task bar",
       [&](FakePlatform& os) {
         os.RemoveWindow(FakePlatform::kFrontEndWindow);
         hidden(os, 0x92, FakePlatform::kFrontEndProcess, "Shell_TrayWnd");
       },
       0, 0, true},
      {"no ancestor owns a window",
       [&](FakePlatform& os) {
         os.AddProcess({FakePlatform::kFrontEndProcess, 40});
         os.AddProcess({40, 30});
         os.RemoveWindow(FakePlatform::kFrontEndWindow);
       },
       0, 0, false},
  };
  for (const Case& c : cases) {
    SimulatedRun run;
    c.world(run.os);
    const FrontEnd got = FindFrontEnd(run.m);
    EXPECT_EQ(got.process, c.process) << c.name;
    EXPECT_EQ(got.window, c.window) << c.name;
    EXPECT_EQ(got.shellReached, c.shell) << c.name;
  }
}

// How the hand-back ends, by what the front end shows and what takes the front.
TEST(HandOverTest, TheHandBackIsCheckedAndTriedAgainAndNeverGoesToTheShell) {
  struct Case {
    const char* name;
    std::function<void(SimulatedRun&)> world;
    std::vector<std::string> broughtForward;
    const char* log;
  };
  const auto steal = [](SimulatedRun& r, int times) {
    r.os.AddWindow({0x77, 70, "Busy"});
    r.os.afterBringToFront = [&r, times, n = 0](WindowHandle window) mutable {
      if (window == FakePlatform::kFrontEndWindow && n++ < times) r.os.foreground = 0x77;
    };
  };
  const std::string bring = "BringToFront 0x10";
  const Case cases[] = {
      {"in front at once",
       [](SimulatedRun&) {},
       {bring},
       "front end: window \"Front End\" of process 50 brought to the front and holds it "
       "(attempt 1)"},
      {"taken twice, then kept",
       [&](SimulatedRun& r) { steal(r, 2); },
       {bring, bring, bring},
       "holds it (attempt 3)"},
      {"never kept", [&](SimulatedRun& r) { steal(r, 100); },
       std::vector<std::string>(kHandBackTries, bring),
       "front end: window \"Front End\" of process 50 could not be brought to the front in 4 "
       "attempts; in front is \"Busy\" of process 70"},
      {"all its windows hidden",
       [](SimulatedRun& r) { r.os.HideWindow(FakePlatform::kFrontEndWindow); },
       {},
       "front end: process 50 shows no window; it may take the front when it shows one again"},
      {"started by the shell",
       [](SimulatedRun& r) { r.os.shellProcess = 50; },
       {},
       "the shell is never brought forward"},
  };
  for (const Case& c : cases) {
    SimulatedRun run;
    ConfigText config;
    config.options = {"log=ruskel.log"};
    run.WriteConfig(config);
    run.EmulatorWindowAppears(50);
    c.world(run);
    ASSERT_TRUE(run.Start("-alpha -keyx27"));
    run.os.PressKey(27, 1000, 1100);
    EXPECT_EQ(run.RunFor(10000), kExitNormal) << c.name;
    std::vector<std::string> forward;
    for (const std::string& call : run.os.TraceOf("BringToFront 0x10")) forward.push_back(call);
    EXPECT_EQ(forward, c.broughtForward) << c.name;
    // The front end may take the front by itself, unless it is the shell.
    EXPECT_EQ(run.os.TraceOf("AllowForeground 50").size(),
              std::string(c.name) == "started by the shell" ? 0u : 1u)
        << c.name;
    EXPECT_THAT(run.os.files["C:\\Games\\ruskel\\ruskel.log"], HasSubstr(c.log)) << c.name;
  }
}

// An emulator that ignores the close is left running, and its window closes
// a while later: that would hand the front on to the window next in z-order,
// so the front end comes forward only once it has gone.
TEST(HandOverTest, TheFrontEndComesForwardOnlyOnceTheEmulatorsLastWindowHasGone) {
  for (const std::uint64_t closedAt : {std::uint64_t{1800}, FakePlatform::kNever}) {
    SimulatedRun run;
    ConfigText config;
    config.options = {"closewait=100", "terminate=off", "log=ruskel.log"};
    run.WriteConfig(config);
    run.os.startedProcess.ignoresQuit = true;
    run.os.startedProcess.ignoresClose = true;
    run.os.AddWindow({SimulatedRun::kEmulatorWindow, SimulatedRun::kEmulatorProcess, "My Emulator",
                      50, 50, closedAt});
    ASSERT_TRUE(run.Start("-alpha -keyx27"));
    run.os.PressKey(27, 1000, 1100);
    EXPECT_TRUE(run.RunFor(10000).has_value());  // ended, with the emulator left running
    const std::uint64_t brought = TimeOf(run.os, "BringToFront 0x10");
    const std::string& log = run.os.files["C:\\Games\\ruskel\\ruskel.log"];
    if (closedAt == 1800u) {
      EXPECT_GE(brought, 1800u);
      EXPECT_LT(brought, 1800u + kEmulatorGoneLookMs + 1);
    } else {
      // Still shown after the cap: handed back all the same.
      EXPECT_THAT(log, HasSubstr("the emulator still shows a window after 2000 ms"));
    }
    EXPECT_THAT(log, HasSubstr("holds it (attempt 1)"));
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

// An emulator at a level ruskel cannot reach: the box shows once and the walk
// is still typed (the keys may be dropped by Windows, which ruskel cannot see).
class AboveRuskelTest : public ::testing::Test {
 protected:
  void StartAt(int integrity) {
    run.os.startedProcess.integrity = integrity;
    ConfigText config;
    config.options = {"log=ruskel.log"};
    run.WriteConfig(config);
    run.EmulatorWindowAppears(50);
    ASSERT_TRUE(run.Start("-alpha -keyx27"));
    EXPECT_EQ(run.RunFor(3000), std::nullopt);
    EXPECT_EQ(run.os.TraceOf("ErrorBox: The emulator runs as administrator").size(), 1u);
    EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  }
  const std::string& Log() { return run.os.files["C:\\Games\\ruskel\\ruskel.log"]; }
  SimulatedRun run;
};

TEST_F(AboveRuskelTest, AHigherLevelIsReportedOnceAndTheExitIsLoggedAsRefused) {
  StartAt(FakePlatform::kHighIntegrity);
  // The exit still posts; the refusal is logged, not taken for a sent request.
  run.os.PressKey(27, 3100, 3200);
  run.RunFor(10000);
  EXPECT_THAT(Log(), HasSubstr("WM_QUIT could not be posted to the emulator window, process 100: "
                               "Access is denied. (error 5)"));
  EXPECT_THAT(Log(), HasSubstr("WM_CLOSE posted to its 1 windows; posting failed: Access is "
                               "denied. (error 5)"));
  EXPECT_THAT(Log(), Not(HasSubstr("WM_QUIT posted")));
}

// A standard user's ruskel may not read an elevated process's token: the
// refusal says as much as a higher level would, and the same box shows.
TEST_F(AboveRuskelTest, AnEmulatorThatCannotBeInspectedIsTakenForOneAboveRuskel) {
  StartAt(kIntegrityDenied);
  EXPECT_THAT(Log(), HasSubstr("could not be inspected (access denied), so it runs above "
                               "ruskel's integrity level 0x2000"));
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

namespace ruskel {
namespace {

// Another program's window took the front after the walk and closed, leaving
// none in front: key events stop (keyEventsDelivered off, as under Wine).
TEST(NoWindowInFrontTest, TheExitKeyIsSeenAndTheEmulatorGetsTheFrontBack) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"log=ruskel.log"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  ASSERT_TRUE(run.Start("-alpha -keyx27"));
  run.os.At(2000, [&] {
    run.os.foreground = 0;
    run.os.keyEventsDelivered = false;
    run.os.foregroundRefused = true;  // the emulator cannot take it back either
  });
  run.os.PressKey(27, 5000, 5080);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);
  // Seen at the next look after the press, by its "pressed since" mark.
  EXPECT_LE(TimeOf(run.os, testing::kQuitEmulator), 5000u + kKeyLookMs);
  const std::string& log = run.os.files["C:\\Games\\ruskel\\ruskel.log"];
  EXPECT_THAT(log, HasSubstr("no window holds the front"));
  EXPECT_THAT(log, HasSubstr("the emulator brought forward again (refused)"));
  // Once per stretch without a front, after the first second of it.
  const auto forward = run.os.TraceOf("BringToFront 0x2a");
  EXPECT_EQ(forward.size(), 2u);  // the walk's, then the one give-back
  EXPECT_GE(TimeOf(run.os, "BringToFront 0x2a", 1), 2000u + kNoFrontGiveBackMs);
}

// A hung emulator is never asked forward (the calls would wait on its
// thread); the exit key still ends the run.
TEST(NoWindowInFrontTest, AHungEmulatorIsNotAskedForwardAndTheExitStillWorks) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"keydelay=100", "log=ruskel.log", "terminate=on", "closewait=500"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(50);
  run.os.AddWindow({0x77, 70, "Busy"});
  run.os.startedProcess.ignoresQuit = true;
  run.os.startedProcess.ignoresClose = true;
  ASSERT_TRUE(run.Start("-beta -keyx27"));
  run.os.At(360, [&] {
    run.os.hungWindows = {SimulatedRun::kEmulatorWindow};
    run.os.foreground = 0x77;
  });
  run.os.PressKey(27, 2860, 2960);
  EXPECT_EQ(run.RunFor(20000), kExitNormal);
  EXPECT_EQ(run.os.TraceOf("BringToFront 0x2a").size(), 1u);  // the window wait's, before the hang
  EXPECT_FALSE(run.os.TraceOf("TerminateTree").empty());
  const std::string& log = run.os.files["C:\\Games\\ruskel\\ruskel.log"];
  EXPECT_THAT(log, HasSubstr("the emulator's window is not responding"));
}

}  // namespace
}  // namespace ruskel
