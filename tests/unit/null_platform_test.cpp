// NullPlatform: the system the fake and ruskel-check's dry run stand on.
// What it answers when nothing is set, and how it writes calls down.
#include "platform/null_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/config_loader.h"
#include "core/mainmod.h"
#include "core/startup.h"
#include "driver/form1.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The wrapper itself runs on the bare null platform: it reads the file,
// starts the emulator and waits, and nothing ever answers.
TEST(NullPlatformTest, TheWrapperStartsAndWaitsWhereNothingIsThere) {
  NullPlatform os;
  os.programDir = "C:\\cab";
  os.argumentText = "-beta";
  os.files[ConfigPath(os.programDir)] = testing::ConfigText{}.Build();
  os.files["C:\\cab\\emulator.exe"] = "MZ";
  RunState state;
  Form1 form{os, state};

  Main(form.Run());

  EXPECT_EQ(os.exitCode(), std::nullopt);
  ASSERT_EQ(os.started.size(), 1u);
  EXPECT_EQ(os.started[0].commandLine, "\"C:\\cab\\emulator.exe\"");
  EXPECT_THAT(os.Trace(), Contains("ReadFile C:\\cab\\lconfig.ini"));
  EXPECT_THAT(os.TraceOf("ERROR"), IsEmpty());
  EXPECT_FALSE(os.RunningTimers().empty());  // waiting for ticks that only the owner delivers
  EXPECT_THAT(os.keysSent, IsEmpty());
  EXPECT_THAT(os.messages, IsEmpty());
}

struct StartCase {
  const char* name;
  bool processStarts;
  bool needsElevation;
  bool killWithRuskel;
  bool jobRefused;
  bool started;
  const char* error;
  const char* jobError;
};

class NullStartTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(NullStartTest, AnswersAsSetAndWritesTheStartDown) {
  const StartCase& c = GetParam();
  NullPlatform os;
  os.processStarts = c.processStarts;
  os.startNeedsElevation = c.needsElevation;
  os.processError = "refused";
  os.jobRefused = c.jobRefused;
  ProcessStart start;
  start.commandLine = "emu.exe -x";
  start.killWithRuskel = c.killWithRuskel;

  const ProcessStartResult result = os.StartProcess(start);

  EXPECT_EQ(result.started, c.started);
  EXPECT_EQ(result.processId, c.started ? NullPlatform::kFirstStartedProcess : 0u);
  EXPECT_EQ(result.error, c.error);
  EXPECT_EQ(result.needsElevation, !c.started && c.needsElevation);
  EXPECT_EQ(result.jobError, c.jobError);
  ASSERT_EQ(os.started.size(), 1u);  // a refused start was asked for all the same
  EXPECT_EQ(os.started[0].commandLine, "emu.exe -x");
}

INSTANTIATE_TEST_SUITE_P(
    Starts, NullStartTest,
    ::testing::Values(
        StartCase{"started", true, false, false, false, true, "", ""},
        StartCase{"refused", false, false, false, false, false, "refused", ""},
        StartCase{"refused_for_elevation", false, true, false, false, false, "refused", ""},
        StartCase{"elevation_ignored_when_started", true, true, false, false, true, "", ""},
        StartCase{"job_refused", true, false, true, true, true, "", "Access is denied."},
        StartCase{"job_refused_without_killwithruskel", true, false, false, true, true, "", ""}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST(NullPlatformTest, StartedProcessesGetIdsOfTheirOwnAndNeverRun) {
  NullPlatform os;
  const ProcessId first = os.StartProcess({}).processId;
  const ProcessId second = os.StartProcess({}).processId;
  EXPECT_NE(first, second);
  EXPECT_FALSE(os.IsProcessRunning(first));
  EXPECT_FALSE(os.WatchProcess(first));  // nothing there to end, so no end would ever come
  EXPECT_THAT(os.TopWindowsOf(first), IsEmpty());
}

TEST(NullPlatformTest, EndProcessStopsTheRunWithItsCode) {
  NullPlatform os;
  try {
    os.EndProcess(6);
    FAIL() << "EndProcess returned";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.exitCode, 6);
  }
  EXPECT_EQ(os.exitCode(), 6);
  EXPECT_THAT(os.Trace(), ElementsAre("EndProcess 6"));
}

// Fakes over it read when each call was made; the clock moves only by Pause
// (and by what a fake drives).
TEST(NullPlatformTest, CallsAreWrittenDownAtTheTimeTheyWereMade) {
  NullPlatform os;
  os.CreateTimerWindow();
  os.Pause(30);
  os.StartTimer(2, 50);
  os.Pause(20);
  os.StopTimer(2);
  std::vector<std::uint64_t> times;
  for (const PlatformCall& call : os.events()) times.push_back(call.time);
  EXPECT_THAT(os.Trace(), ElementsAre("CreateTimerWindow", "Pause 30ms", "StartTimer 2 50ms",
                                      "Pause 20ms", "StopTimer 2"));
  EXPECT_THAT(times, ElementsAre(0u, 0u, 30u, 30u, 50u));
  EXPECT_EQ(os.NowMs(), 50u);
  EXPECT_FALSE(os.TimerRunning(2));
}

TEST(NullPlatformTest, ATimerStartedBeforeTheTimerWindowIsFlagged) {
  NullPlatform os;
  os.StartTimer(1, 100);
  EXPECT_THAT(os.TraceOf("ERROR"),
              ElementsAre("ERROR timer started before the timer window exists"));
  EXPECT_EQ(os.TimerInterval(1), 100u);
}

TEST(NullPlatformTest, WatchingIsWrittenDownOnlyWhenItChanges) {
  NullPlatform os;
  os.WatchKeys(false);
  os.WatchKeys(true);
  os.WatchKeys(true);
  os.WatchWindows(true);
  os.WatchWindows(false);
  EXPECT_THAT(os.Trace(), ElementsAre("WatchKeys on", "WatchWindows on", "WatchWindows off"));
  EXPECT_TRUE(os.WatchingKeys());
}

TEST(NullPlatformTest, KeyEventsKeepTheirWordsAndTheirValues) {
  NullPlatform os;
  os.keysBlocked = true;
  EXPECT_FALSE(os.SendKeyEvent(0x28, 0x50, kKeyEventExtendedKey | kKeyEventKeyUp));
  EXPECT_THAT(os.Trace(), ElementsAre("Key 40 up scan=0x50 ext blocked"));
  ASSERT_EQ(os.keysSent.size(), 1u);
  EXPECT_EQ(os.keysSent[0].virtualKey, 0x28);
  EXPECT_EQ(os.keysSent[0].flags, kKeyEventExtendedKey | kKeyEventKeyUp);
}

// The walk's screen, idle and click calls: nothing shows, nothing waits for
// input, a click lands where asked; each is written down.
TEST(NullPlatformTest, ScreenIdleAndClickCallsAreWrittenDown) {
  NullPlatform os;
  os.windowMonitors[0x2a] = {1920, 0, 3840, 1080};
  EXPECT_EQ(os.ClientPixel(0x2a, 5, 6), std::nullopt);
  EXPECT_EQ(os.ProcessInputIdle(100), InputIdle::Unknown);
  EXPECT_EQ(os.ClientPointOnScreen(0x2a, 5, 6), (ScreenPoint{1925, 6}));
  EXPECT_EQ(os.ClientPointOnScreen(0, 5, 6), std::nullopt);
  EXPECT_TRUE(os.ClickLeft({1925, 6}));
  EXPECT_EQ(os.pointer, (ScreenPoint{1925, 6}));
  EXPECT_THAT(os.Trace(), ElementsAre("ClientPixel 0x2a 5,6", "ProcessInputIdle 100",
                                      "ClickLeft 1925,6"));
}

TEST(NullPlatformTest, FilesAreTheMapWithTheSetReasonForMissingOnes) {
  NullPlatform os;
  os.missingFileError = "gone";
  os.unwritableFiles = {"C:\\ro.txt"};
  EXPECT_EQ(os.ReadWholeFile("C:\\log.txt").error, "gone");
  EXPECT_TRUE(os.AppendToFile("C:\\log.txt", "a"));
  EXPECT_TRUE(os.AppendToFile("C:\\log.txt", "b"));
  EXPECT_EQ(os.ReadWholeFile("C:\\log.txt").bytes, "ab");
  EXPECT_FALSE(os.WriteWholeFile("C:\\ro.txt", "x"));
  EXPECT_FALSE(os.FileExists("C:\\ro.txt"));
}

TEST(NullPlatformTest, AnUnwritableMarkLeavesTheCursorsAsMarkedBefore) {
  NullPlatform os;
  os.cursorsMarkedBlank = true;
  os.markUnwritable = true;
  EXPECT_FALSE(os.MarkCursorsBlank(false));
  EXPECT_TRUE(os.CursorsMarkedBlank());
}

}  // namespace
}  // namespace ruskel
