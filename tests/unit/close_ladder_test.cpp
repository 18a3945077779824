// CloseLadder: what is asked to quit when the run ends, how long the
// emulator is waited for, WM_CLOSE and the end by force; never a window of
// another program.
#include "driver/close_ladder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/front_end.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::SimulatedRun;

constexpr ProcessId kEmulator = SimulatedRun::kEmulatorProcess;
const std::string kQuit = testing::kQuitEmulator;
const std::string kClose = "PostMessage 0x2a 0x10 0 0";
constexpr auto kNever = FakePlatform::kNever;

class CloseTest : public ::testing::Test {
 protected:
  void Begin() { ASSERT_TRUE(run.Begin(config, "-alpha", 50)); }
  ConfigText config;
  SimulatedRun run;
};

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
  run.os.startedProcess.ignoresQuit = c.ignoresQuit;
  run.os.startedProcess.ignoresClose = c.ignoresClose;
  ASSERT_TRUE(run.Begin(config, "-alpha", 50));
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(20000), c.exitCode);
  // Never before the exit key is up again. An emulator left running keeps its
  // window: the hand-back waits for it to go, up to its cap.
  const bool left = c.ignoresQuit && c.ignoresClose && !c.terminated;
  EXPECT_EQ(run.os.now(), std::max<std::uint64_t>(c.endsAt, 2100) +
                              (left ? kEmulatorGoneCapMs : 0) + kHandBackCheckMs);
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

// WM_CLOSE goes where a user could close the program: never to a hidden
// helper window, nor to a dialog that goes with its owner.
TEST_F(CloseTest, WmCloseGoesToTheVisibleUnownedWindowsAndTheMatchedOne) {
  run.os.startedProcess.ignoresQuit = true;
  run.os.startedProcess.ignoresClose = true;
  run.os.AddWindow({0x30, kEmulator, "", 0, kNever});                             // helper
  run.os.AddWindow({0x31, kEmulator, "Settings", 0, 0, kNever, "Dialog", {300, 200}, 0x2a});  // owned
  run.os.AddWindow({0x32, kEmulator, "Debugger", 0, 0});                          // second
  Begin();
  run.os.HideWindow(SimulatedRun::kEmulatorWindow);  // hidden by now, but the one matched
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(20000), kExitEmulatorLeft);
  EXPECT_THAT(run.os.TraceOf("PostMessage"),
              ElementsAre(kQuit, "PostMessage 0x32 0x10 0 0", kClose));
}

TEST_F(CloseTest, CloseModeNullClosesAWindowOfTheEmulatorInFront) {
  config.handles = {"My Emulator", "null"};
  // The game runs in a second window of the emulator, with another title.
  run.os.AddWindow({0x77, kEmulator, "Game: Alpha", 1000, 1000});
  Begin();
  run.os.At(1000, [&] { run.os.foreground = 0x77; });
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(3000), kExitNormal);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre("PostMessage 0x77 0x12 0 0"));
}

TEST_F(CloseTest, CloseModeNullNeverClosesAnotherProgramInFront) {
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

TEST_F(CloseTest, CloseModeNullAfterTheEmulatorHasGoneLeavesTheFrontEndAlone) {
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

TEST_F(CloseTest, CloseModeNullAfterTheEmulatorWindowHasGoneLeavesTheFrontEnd) {
  config.handles = {"My Emulator", "null"};
  run.WriteConfig(config);
  run.os.AddWindow({SimulatedRun::kEmulatorWindow, kEmulator, "My Emulator", 0, 0, 1000});
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.At(1000, [&] { run.os.foreground = FakePlatform::kFrontEndWindow; });
  run.os.PressKey(27, 2000, 2100);
  // Its process goes on with no window: waited for, then left running.
  EXPECT_EQ(run.RunFor(6000), kExitEmulatorLeft);
  // The front end, now in front, is not the emulator's: nothing is asked to quit.
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre());
}

// During the wait the window in front is most likely the front end's.
TEST(ExitDuringTheWaitTest, ClosesOnlyTheTitledWindow) {
  for (const char* closeMode : {"title", "null"}) {
    SimulatedRun run;
    ConfigText config;
    config.handles = {"My Emulator", closeMode};
    run.WriteConfig(config);
    run.EmulatorWindowAppears(0, FakePlatform::kNever);  // exists, never shown
    ASSERT_TRUE(run.Start("-alpha -butx1"));
    run.os.joystickPresent = true;
    run.os.HoldButtons(1, 300, 400);
    EXPECT_EQ(run.RunFor(1000), kExitNormal) << closeMode;
    EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuit)) << closeMode;
    EXPECT_EQ(run.Keys(), "") << closeMode;
  }
}

// A title that matches nothing: the exit still closes the emulator ruskel
// started, through its own window and the whole ladder. One still loading,
// with no window yet, is ended at once with terminate=on; else it has one
// closewait to show a window, which is asked to quit, and is left running
// when none comes.
struct UnmatchedCase {
  const char* name;
  std::vector<std::string> options;
  std::uint64_t windowAt;  // its own window, titled otherwise; kNever: none
  bool ignores;            // WM_QUIT and WM_CLOSE
  int exitCode;
  std::uint64_t endsAt;  // the exit key is down from 2000 to 2100
  std::vector<std::string> posted;
  bool terminated;
  const char* lastWhy;
};

class UnmatchedTitleTest : public ::testing::TestWithParam<UnmatchedCase> {};

TEST_P(UnmatchedTitleTest, TheExitStillClosesTheStartedEmulator) {
  const UnmatchedCase& c = GetParam();
  SimulatedRun run;
  ConfigText config;
  config.options = c.options;
  config.options.push_back("log=ruskel.log");
  run.os.startedProcess.ignoresQuit = c.ignores;
  run.os.startedProcess.ignoresClose = c.ignores;
  run.WriteConfig(config);
  if (c.windowAt != kNever) {
    run.os.AddWindow({SimulatedRun::kEmulatorWindow, kEmulator, "Not The Title", c.windowAt});
  }
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(20000), c.exitCode);
  EXPECT_EQ(run.os.now(), c.endsAt + kHandBackCheckMs);  // then the hand-back's check
  EXPECT_EQ(run.os.TraceOf("PostMessage"), c.posted);
  EXPECT_EQ(!run.os.TraceOf("TerminateTree").empty(), c.terminated);
  EXPECT_EQ(run.Keys(), "");
  const std::string& log = run.os.files[run.os.programDir + "\\ruskel.log"];
  EXPECT_THAT(log, HasSubstr("no window matches the window rule; the emulator ruskel started is "
                             "asked to quit"));
  EXPECT_THAT(log, HasSubstr(std::string(c.lastWhy) + " (no window matched the window rule)\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Ladder, UnmatchedTitleTest,
    ::testing::Values(
        UnmatchedCase{"QuitsOnWmQuit", {}, 0, false, kExitNormal, 2100, {kQuit}, false,
                      "the emulator has quit"},
        UnmatchedCase{"IgnoresBothAndIsEndedByForce", {"terminate=on", "closewait=500"}, 0, true,
                      kExitNormal, 3000, {kQuit, kClose}, true,
                      "the emulator ignored WM_QUIT and WM_CLOSE and was ended by force"},
        UnmatchedCase{"IgnoresBothAndIsLeft", {"closewait=500"}, 0, true, kExitEmulatorLeft, 5000,
                      {kQuit, kClose}, false,
                      "the emulator ignored WM_QUIT and WM_CLOSE and is left running "
                      "(terminate=off)"},
        UnmatchedCase{"NoWindowYetIsEndedAtOnceWithTerminate", {"terminate=on"}, kNever, false,
                      kExitNormal, 2100, {}, true,
                      "no emulator window to close; the emulator was ended by force"},
        UnmatchedCase{"NoWindowYetWithoutCloseWaitIsLeftAtOnce", {"closewait=0"}, kNever, false,
                      kExitNormal, 2100, {}, false, "no emulator window to close"},
        UnmatchedCase{"AWindowThatComesLaterIsAskedToQuit", {"closewait=1000"}, 2500, false,
                      kExitNormal, 3000, {kQuit}, false, "the emulator has quit"},
        UnmatchedCase{"NoWindowThatComesIsLeftRunning", {"closewait=1000"}, kNever, false,
                      kExitEmulatorLeft, 3000, {}, false,
                      "the emulator showed no window to close within 1000 ms and is left "
                      "running (terminate=off)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloseTest, TerminateEndsTheEmulatorsWholeTree) {
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

}  // namespace
}  // namespace ruskel
