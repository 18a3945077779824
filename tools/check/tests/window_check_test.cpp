// ruskel-check --windows on the simulated Windows: the emulator started as a
// run starts it, its windows listed with the rule that takes each, and closed.
#include "tools/check/window_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_harness.h"
#include "tools/check/check_plan.h"

namespace ruskel::check {
namespace {

using ruskel::testing::TimeOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The check waits with Pause: the simulated world moves on meanwhile.
class WaitingPlatform : public FakePlatform {
 public:
  void Pause(std::uint32_t ms) override { RunUntil(now() + ms); }
};

constexpr ProcessId kEmulator = NullPlatform::kFirstStartedProcess;
constexpr WindowHandle kWindow = 0x2a;

class WindowCheckTest : public ::testing::Test {
 protected:
  WindowCheckTest() { os.files[os.programDir + "\\emulator.exe"] = ""; }

  int Check() {
    ruskel::testing::ConfigText config;
    config.handles = {title, "title"};
    EXPECT_EQ(ParseConfig(config.Build(), state), std::nullopt);
    WindowCheckIo io;
    io.print = [this](const std::string& line) { out.push_back(line); };
    io.keyPressed = [this] { return os.now() >= keyAt; };
    return CheckWindows(state, os, os.programDir, io);
  }
  void EmulatorShows(const std::string& shown, std::uint64_t at = 500) {
    os.AddWindow(
        {kWindow, kEmulator, shown, at, at, FakePlatform::kNever, "WineMineClass", {250, 300}});
  }

  WaitingPlatform os;
  RunState state;
  std::string title = "Wine Mine";
  std::uint64_t keyAt = FakePlatform::kNever;
  std::vector<std::string> out;
};

TEST_F(WindowCheckTest, ATitleOneBlankOffNamesTheRealTitleAndClosesTheEmulator) {
  EmulatorShows("WineMine");
  EXPECT_EQ(Check(), kCheckFileBroken);
  EXPECT_THAT(
      out,
      ElementsAre("started \"C:\\Games\\ruskel\\emulator.exe\" in C:\\Games\\ruskel\\, "
                  "process 100",
                  "waiting up to 10 s for its windows; press a key to list them at once",
                  "the emulator shows 1 window:",
                  "  \"WineMine\" (class WineMineClass), 250 x 300, process 100: "
                  "match=own would take it",
                  "{handles} asks for \"Wine Mine\": no window of the emulator fits; the "
                  "nearest title is \"WineMine\": copy it onto the first line of {handles}",
                  "closing the emulator: WM_QUIT posted to \"WineMine\"", "the emulator has quit"));
  // Listed once the window had stayed the same a while, not after the longest wait.
  EXPECT_EQ(TimeOf(os, "PostMessage 0x2a 0x12"), 500 + kWindowsSteadyMs);
  EXPECT_TRUE(os.ProcessHasEnded(kEmulator));
  // Started as ruskel.exe starts it.
  ASSERT_EQ(os.started.size(), 1u);
  EXPECT_EQ(os.started[0].workingDirectory, "C:\\Games\\ruskel\\");
  EXPECT_TRUE(os.started[0].inheritHandles);
}

TEST_F(WindowCheckTest, TheWindowTheRulesTakeIsNamed) {
  title = "winemine";
  EmulatorShows("WineMine");
  EXPECT_EQ(Check(), kCheckFileFine);
  EXPECT_THAT(out, ::testing::Contains(HasSubstr("250 x 300, process 100: match=title takes it")));
  EXPECT_THAT(out, ::testing::Contains("{handles} asks for \"winemine\": ruskel takes \"WineMine\" "
                                       "(class WineMineClass)"));
}

TEST_F(WindowCheckTest, AKeyListsAtOnceAndAnEmulatorThatStaysIsEndedByForce) {
  keyAt = 200;
  os.startedProcess.ignoresQuit = true;
  os.startedProcess.ignoresClose = true;
  EmulatorShows("WineMine", 100);
  EXPECT_EQ(Check(), kCheckFileBroken);
  EXPECT_THAT(out, ::testing::Contains("the emulator shows 1 window:"));
  EXPECT_EQ(TimeOf(os, "PostMessage 0x2a 0x12"), 200u);
  EXPECT_THAT(os.TraceOf("PostMessage"),
              ElementsAre("PostMessage 0x2a 0x12 0 0", "PostMessage 0x2a 0x10 0 0"));
  EXPECT_THAT(os.TraceOf("TerminateTree"), ElementsAre("TerminateTree 100"));
  EXPECT_EQ(out.back(), "the emulator was ended by force");
  EXPECT_LE(os.now(), 200 + 2 * kWindowsCloseWaitMs + kWindowsLookMs);
}

TEST_F(WindowCheckTest, NoWindowWithinTheLongestWait) {
  EXPECT_EQ(Check(), kCheckFileBroken);
  EXPECT_THAT(out, ::testing::Contains("the emulator shows no visible window"));
  EXPECT_THAT(out, ::testing::Contains("{handles} asks for \"Wine Mine\": no window of the "
                                       "emulator fits"));
  EXPECT_EQ(out.back(), "the emulator was ended by force");
  EXPECT_GE(os.now(), kWindowsWaitMs);
}

TEST_F(WindowCheckTest, AMissingProgramStartsNothing) {
  os.files.clear();
  EXPECT_EQ(Check(), kCheckFileBroken);
  EXPECT_THAT(out, ElementsAre(HasSubstr("the exe= line names no program in C:\\Games\\ruskel")));
  EXPECT_TRUE(os.started.empty());
}

}  // namespace
}  // namespace ruskel::check
