#include "core/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/log_texts.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::SimulatedRun;

TEST(StartupTest, UsageTextIsExact) {
  EXPECT_EQ(std::string(TextOf(Say::Usage)).size(), 85u);
  EXPECT_EQ(std::string(TextOf(Say::Usage)).find(".......            This"), 40u);
}

TEST(StartupTest, NoArgumentsShowsUsageAndTouchesNothingElse) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  EXPECT_FALSE(run.Start(""));
  EXPECT_THAT(run.os.Trace(),
              ElementsAre("CreateTimerWindow", "MessageBox: " + std::string(TextOf(Say::Usage)),
                          "EndProcess 1"));
}

TEST(StartupTest, BlankArgumentsAreNotEmptyAndStartARun) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  EXPECT_TRUE(run.Start(" "));
  EXPECT_EQ(run.state->RomName, "");
  EXPECT_EQ(run.os.TraceOf("StartProcess").size(), 1u);
}

TEST(StartupTest, StartsTheEmulatorFromItsFolderAndArmsTimkey) {
  SimulatedRun run;
  ConfigText config;
  config.exe = "exe=emulator.exe -fullscreen";
  config.timer = "timer=3000";
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-mygame -keyx27 -butx4"));
  EXPECT_THAT(run.os.Trace(),
              ElementsAre("CreateTimerWindow", "ReadFile C:\\Games\\ruskel\\lconfig.ini",
                          "StartProcess app=C:\\Games\\ruskel\\emulator.exe "
                          "cmd=\"C:\\Games\\ruskel\\emulator.exe\" -fullscreen "
                          "dir=C:\\Games\\ruskel\\ inherit=1 flags=0x20",
                          "WatchKeys on", "WatchProcess 100", "WatchWindows on",
                          "StartTimer 1 10ms", "StartTimer 2 50ms"));
  EXPECT_EQ(run.form.Interval(TimerId::misc), 3000u);
  EXPECT_FALSE(run.os.TimerRunning(static_cast<int>(TimerId::misc)));
  EXPECT_EQ(run.state->RomName, "mygame");
  EXPECT_EQ(run.state->ExitKey, 27);
  EXPECT_EQ(run.state->ExitButton, 4);
}

TEST(StartupTest, ProgramIsQuotedAndItsArgumentsPassUnchanged) {
  SimulatedRun run;
  ConfigText config;
  config.exe = "exe=My Emu\\emu.exe \"quoted arg\"  -x";
  run.os.programDir = "D:\\Arcade Cab";
  run.os.files["D:\\Arcade Cab\\My Emu\\emu.exe"] = "MZ";
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-x"));
  EXPECT_THAT(run.os.TraceOf("StartProcess"),
              ElementsAre("StartProcess app=D:\\Arcade Cab\\My Emu\\emu.exe "
                          "cmd=\"D:\\Arcade Cab\\My Emu\\emu.exe\" \"quoted arg\"  -x "
                          "dir=D:\\Arcade Cab\\ inherit=1 flags=0x20"));
}

TEST(StartupTest, ProgramMissingFromTheFolderIsFatalAndNamesWhatWasTried) {
  SimulatedRun run;
  ConfigText config;
  config.exe = "exe=my emu -x";
  run.os.programDir = "D:\\Arcade Cab";
  run.WriteConfig(config);
  EXPECT_FALSE(run.Start("-x"));
  EXPECT_EQ(run.os.exitCode(), kExitStartError);
  EXPECT_TRUE(run.os.TraceOf("StartProcess").empty());
  const auto errors = run.os.TraceOf("ErrorBox");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_THAT(
      errors[0],
      ::testing::HasSubstr("no such program in D:\\Arcade Cab\\ (tried \"D:\\Arcade Cab\\my.exe\" "
                           "\"D:\\Arcade Cab\\my emu.exe\" \"D:\\Arcade Cab\\my emu -x.exe\")"));
}

TEST(StartupTest, MissingConfigIsFatalBeforeAnythingStarts) {
  SimulatedRun run;
  EXPECT_FALSE(run.Start("-mygame"));
  auto errors = run.os.TraceOf("ErrorBox");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("C:\\Games\\ruskel\\lconfig.ini"), std::string::npos);
  EXPECT_NE(errors[0].find("cannot find the file"), std::string::npos);
  EXPECT_TRUE(run.os.TraceOf("StartProcess").empty());
  EXPECT_EQ(run.os.exitCode(), kExitConfigError);
}

TEST(StartupTest, MalformedConfigIsFatalWhateverTheArguments) {
  SimulatedRun run;
  ConfigText config;
  config.startup = {"13"};
  run.WriteConfig(config);
  EXPECT_FALSE(run.Start("-mygame -keyx27"));
  auto errors = run.os.TraceOf("ErrorBox");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("lconfig.ini line 6: expected a step such as 13/down inside "
                           "{startup}, found \"13\""),
            std::string::npos)
      << errors[0];
  EXPECT_TRUE(run.os.TraceOf("StartProcess").empty());
  EXPECT_FALSE(run.os.TimerRunning(static_cast<int>(TimerId::Timkey)));
}

TEST(StartupTest, EmulatorThatCannotStartIsFatalAndNamesTheCommand) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.os.processStarts = false;
  EXPECT_FALSE(run.Start("-mygame"));
  auto errors = run.os.TraceOf("ErrorBox");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("C:\\Games\\ruskel\\emulator.exe"), std::string::npos);
  EXPECT_NE(errors[0].find("cannot find the file"), std::string::npos);
  EXPECT_EQ(run.os.exitCode(), kExitStartError);
  EXPECT_FALSE(run.os.TimerRunning(static_cast<int>(TimerId::Timkey)));
}

TEST(StartupTest, KillWithRuskelIsAskedOfTheStart) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"killwithruskel=on"};
  ASSERT_TRUE(run.Begin(config, "-alpha"));
  EXPECT_THAT(run.os.TraceOf("StartProcess")[0], ::testing::EndsWith(" killwithruskel"));
}

TEST(StartupTest, AJobRefusedIsLoggedAndTheRunGoesOn) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"killwithruskel=on", "log=ruskel.log"};
  run.os.jobRefused = true;
  ASSERT_TRUE(run.Begin(config, "-alpha", 50));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_THAT(run.os.files["C:\\Games\\ruskel\\ruskel.log"],
              ::testing::HasSubstr("could not be put in a job that ends it with ruskel"));
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
}

}  // namespace
}  // namespace ruskel
