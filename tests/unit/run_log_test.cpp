// The run log and the curtain.
#include "core/run_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::SimulatedRun;

const std::string kLog = "C:\\Games\\ruskel\\ruskel.log";

TEST(RunLogTest, TellsWhatHappenedFromTheArgumentsToTheExitCode) {
  SimulatedRun run;
  ConfigText config;
  config.games = {"alpha", "beta", "mygame"};
  config.options = {"log=ruskel.log", "keydelay=20"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(100);
  ASSERT_TRUE(run.Start("-mygame -keyx27"));
  run.os.PressKey(27, 3000, 3100);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);
  const std::string& log = run.os.files[kLog];
  for (const char* part :
       {"       0 ms  ---- ruskel run ---- 2024-05-31 18:04:05, ruskel ",
        "waiting for a window titled \"My Emulator\"", "arguments: \"-mygame -keyx27\"",
        "rom \"mygame\", exit key 27, exit button none", "keydelay=20, ",
        "closewait=3000 (default)",
        "started \"C:\\Games\\ruskel\\emulator.exe\" in C:\\Games\\ruskel\\, process 100",
        "     100 ms  window found, process 100", "window in front after 0 ms",
        "startup sequence: 2 key events",
        "rom found in slot 2: select sequence 2 times, then enter, 6 key events; walk: 2 x Down, "
        "Return: 6 steps, 0.1 s with keydelay=20",
        "enter sequence sent", "    3000 ms  exit key 27 pressed",
        "WM_QUIT posted to the emulator window, process 100", "the emulator has quit",
        "    3100 ms  the exit key or button was released after 100 ms",
        "front end: window \"Front End\" of process 50 brought to the front", "exit code 0\r\n"}) {
    EXPECT_THAT(log, HasSubstr(part)) << log;
  }
}

// The log names what the run watches: a text that gives no key or button is
// shown with the reason, never as the number it is not.
TEST(RunLogTest, SaysWhichExitInputsTheRunWatches) {
  struct Case {
    const char* args;
    const char* line;
  };
  for (const Case& c :
       {Case{"-alpha -keyx300 -butx192",
             "exit key none (\"300\" is no key code from 1 to 255), exit button 192"},
        Case{"-alpha -keyx65.5 -butx0", "exit key 66, exit button none (\"0\" is no button mask"},
        Case{"-alpha -keyxabc",
             "exit key none (\"abc\" is no key code from 1 to 255), "
             "exit button none\r\n"}}) {
    SimulatedRun run;
    ConfigText config;
    config.options = {"log=ruskel.log"};
    run.WriteConfig(config);
    run.EmulatorWindowAppears();
    ASSERT_TRUE(run.Start(c.args));
    EXPECT_THAT(run.os.files[kLog], HasSubstr(c.line)) << c.args;
  }
}

TEST(RunLogTest, AppendsRunAfterRunAndKeepsTheLastPartOfABigFile) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"log=C:\\logs\\r.log"};
  run.WriteConfig(config);
  std::string old;
  for (int i = 0; old.size() <= kLogMaxBytes; ++i) old += "old line " + std::to_string(i) + "\r\n";
  run.os.files["C:\\logs\\r.log"] = old;
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start("-alpha"));
  const std::string& log = run.os.files["C:\\logs\\r.log"];
  EXPECT_LT(log.size(), kLogKeptBytes + 4096);
  EXPECT_EQ(log.rfind("old line ", 0), 0u);  // cut at a line start
  EXPECT_THAT(log, HasSubstr("---- ruskel run ----"));
  EXPECT_EQ(log.find(old.substr(0, 20)), std::string::npos);
}

TEST(RunLogTest, ALogThatCannotBeWrittenNeverStopsTheRun) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"log=ruskel.log"};
  run.WriteConfig(config);
  run.os.unwritableFiles.insert(kLog);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  EXPECT_EQ(run.os.files.count(kLog), 0u);
}

TEST(CurtainTest, CoversTheWalkAndLiftsAShortWhileAfterIt) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"curtain=on"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(300);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  EXPECT_THAT(run.os.TraceOf("Curtain"), ElementsAre("Curtain on", "Curtain off"));
  // Up before the emulator starts, down 500 ms after the enter sequence.
  const auto trace = run.os.Trace();
  EXPECT_EQ(trace[2], "Curtain on");
  EXPECT_EQ(trace[3].rfind("StartProcess", 0), 0u);
  for (const auto& event : run.os.events()) {
    if (event.what == "Curtain off") {
      EXPECT_EQ(event.time, 300u + kCurtainSettleMs);
    }
  }
}

TEST(CurtainTest, GoesBeforeAnErrorBoxAndOnAnyExit) {
  {
    SimulatedRun run;
    ConfigText config;
    config.options = {"curtain=on"};
    run.WriteConfig(config);
    run.EmulatorWindowAppears(300);
    ASSERT_TRUE(run.Start("-alpha"));
    run.os.PressKey(27, 100, 150);  // during the window wait
    EXPECT_EQ(run.RunFor(5000), kExitNormal);
    EXPECT_THAT(run.os.TraceOf("Curtain"), ElementsAre("Curtain on", "Curtain off"));
  }
  {
    SimulatedRun run;
    ConfigText config;
    config.options = {"curtain=on"};
    config.timer = "timer=100";
    run.WriteConfig(config);
    run.EmulatorWindowAppears();
    ASSERT_TRUE(run.Start("-alpha"));
    run.state->MiscSeq[0] = {"300", "down", {}};  // fails inside misc_Timer, curtain still up
    run.form.SetInterval(TimerId::curtain, 60000);
    EXPECT_EQ(run.RunFor(1000), kExitInternal);
    const auto trace = run.os.Trace();
    const auto off = std::find(trace.begin(), trace.end(), "Curtain off");
    const auto box = std::find_if(trace.begin(), trace.end(),
                                  [](const std::string& e) { return e.rfind("ErrorBox", 0) == 0; });
    ASSERT_NE(box, trace.end());
    EXPECT_LT(off, box);
  }
}

TEST(CurtainTest, NeverShownWhenOff) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 100, 150);
  EXPECT_EQ(run.RunFor(2000), kExitNormal);
  EXPECT_TRUE(run.os.TraceOf("Curtain").empty());
}

}  // namespace
}  // namespace ruskel
