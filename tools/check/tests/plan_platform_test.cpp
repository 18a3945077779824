// PlanPlatform: the null platform as a dry run sets it up.
#include "tools/check/plan_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/config_loader.h"

namespace ruskel::check {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kDir = "C:\\cab";

FileReader Gives(bool ok, const std::string& bytes, const std::string& error = "") {
  return [=](const std::string& path) {
    FileReadResult result;
    result.ok = ok && path == "checked.ini";
    result.bytes = bytes;
    result.error = error;
    return result;
  };
}

TEST(PlanPlatformTest, TheCheckedFileIsWhatTheWrapperReadsAsLconfig) {
  PlanPlatform os("-x", kDir, "checked.ini", Gives(true, "{handles}"));
  EXPECT_EQ(os.ConfigBytes(), "");  // not read yet
  const FileReadResult read = os.ReadWholeFile(ConfigPath(kDir));
  EXPECT_TRUE(read.ok);
  EXPECT_EQ(read.bytes, "{handles}");
  EXPECT_EQ(os.ConfigBytes(), "{handles}");
}

TEST(PlanPlatformTest, AFileThatCannotBeReadFailsWithTheReadersReason) {
  PlanPlatform os("-x", kDir, "checked.ini", Gives(false, "", "Permission denied"));
  const FileReadResult read = os.ReadWholeFile(ConfigPath(kDir));
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.error, "Permission denied");
}

TEST(PlanPlatformTest, TicksComeOnlyFromRunningTimersAndMoveTheClockByTheirInterval) {
  PlanPlatform os("", kDir, "checked.ini", Gives(true, ""));
  std::vector<int> ticks;
  os.SetEventHandler([&ticks](const PlatformEvent& event) {
    if (event.kind == EventKind::Timer) ticks.push_back(event.timerId);
  });
  os.CreateTimerWindow();
  os.StartTimer(3, 40);
  EXPECT_TRUE(os.Tick(3));
  EXPECT_TRUE(os.Tick(3));
  os.StopTimer(3);
  EXPECT_FALSE(os.Tick(3));
  EXPECT_FALSE(os.Tick(4));
  EXPECT_THAT(ticks, ElementsAre(3, 3));
  EXPECT_EQ(os.NowMs(), 80u);
}

TEST(PlanPlatformTest, TakeKeysHandsOverTheKeysTypedSinceTheLastTake) {
  PlanPlatform os("", kDir, "checked.ini", Gives(true, ""));
  os.SendKeyEvent(40, 0x50, kKeyEventExtendedKey);
  os.SendKeyEvent(40, 0x50, kKeyEventExtendedKey | kKeyEventKeyUp);
  const std::vector<SentKey> keys = os.TakeKeys();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_FALSE(keys[0].up);
  EXPECT_TRUE(keys[1].up);
  EXPECT_THAT(os.TakeKeys(), IsEmpty());
}

// The emulator's window is there from the start and goes with WM_QUIT, the
// only message the wrapper's close sends it in a dry run.
TEST(PlanPlatformTest, TheEmulatorAndItsWindowGoOnlyWithQuit) {
  PlanPlatform os("", kDir, "checked.ini", Gives(true, ""));
  const ProcessId emulator = os.StartProcess({}).processId;
  EXPECT_EQ(emulator, PlanPlatform::kEmulatorProcess);
  EXPECT_THAT(os.TopWindowsOf(emulator), ElementsAre(PlanPlatform::kEmulatorWindow));
  EXPECT_EQ(os.PostWindowMessage(PlanPlatform::kEmulatorWindow, kWmClose, 0, 0), "");
  EXPECT_TRUE(os.IsProcessRunning(emulator));
  EXPECT_EQ(os.PostWindowMessage(PlanPlatform::kEmulatorWindow, kWmQuit, 0, 0), "");
  EXPECT_FALSE(os.IsProcessRunning(emulator));
  EXPECT_THAT(os.TopWindows(), IsEmpty());
  EXPECT_EQ(os.WindowProcess(PlanPlatform::kEmulatorWindow), 0u);
  EXPECT_EQ(os.posted.size(), 2u);
}

}  // namespace
}  // namespace ruskel::check
