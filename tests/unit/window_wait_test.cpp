// WindowWait: look-ups, windows left over by other programs, and the focus
// settle before the first key.
#include "driver/window_wait.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::Each;
using ::testing::ElementsAre;
using testing::KeyTimes;
using testing::SimulatedRun;
using testing::TimeOf;

constexpr ProcessId kEmulator = SimulatedRun::kEmulatorProcess;
constexpr ProcessId kOtherProgram = 300;
const std::string kWalk = "13d 13u 13d 13u";  // startup and enter for alpha

class WindowWaitTest : public ::testing::Test {
 protected:
  void Begin() {
    run.WriteConfig(config);
    ASSERT_TRUE(run.Start("-alpha"));
  }
  ConfigText config;
  SimulatedRun run;
};

TEST_F(WindowWaitTest, LooksOncePerTickWithoutBlocking) {
  run.EmulatorWindowAppears(5000);
  run.os.tracePolls = true;
  Begin();
  EXPECT_EQ(run.RunFor(4000), std::nullopt);
  // Every handler call returned: a first look soon, then one per slow tick, not a spin.
  EXPECT_EQ(run.os.TraceOf("TopWindows ->").size(), 1u + (4000u - kFocusCheckMs) / kWindowLookupMs);
  EXPECT_EQ(run.Keys(), "");
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  // The window event wakes the wait at once.
  EXPECT_EQ(TimeOf(run.os, "Key 13 down"), 5000u);
}

TEST_F(WindowWaitTest, ALongWaitLooksOnceASecond) {
  run.os.tracePolls = true;
  Begin();
  EXPECT_EQ(run.RunFor(kLongWaitAfterMs + 5000), std::nullopt);
  EXPECT_EQ(run.os.TraceOf("TopWindows ->").size(),
            1u + (kLongWaitAfterMs - kFocusCheckMs) / kWindowLookupMs + 5000 / kLongWaitLookupMs);
}

TEST_F(WindowWaitTest, WindowTitleNullTypesAtOnceIntoWhateverHasFocus) {
  config.handles = {"null", "title"};
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-beta"));
  run.os.PressKey(27, 500, 600);
  // The emulator shows no window of its own to close: it is left running.
  EXPECT_EQ(run.RunFor(5000), kExitEmulatorLeft);
  EXPECT_EQ(TimeOf(run.os, "BringToFront 0x0"), kFocusCheckMs);
  EXPECT_EQ(run.Keys(), "13d 13u 40d 40u 13d 13u");
  // The front end is in front and is not the emulator's: it never gets the quit.
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre());
}

TEST_F(WindowWaitTest, ALeftoverWindowOfAnotherProcessDoesNotGetTheKeys) {
  run.os.AddProcess({kOtherProgram, 0});
  run.os.AddWindow({0x55, kOtherProgram, "My Emulator"});  // stale
  run.EmulatorWindowAppears(50);
  Begin();
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_THAT(run.os.TraceOf("BringToFront"), Each("BringToFront 0x2a"));
  EXPECT_EQ(run.Keys(), kWalk);
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(testing::kQuitEmulator));
}

TEST_F(WindowWaitTest, ASingleInstanceHandOverFallsBackToTheOtherWindow) {
  // Our process never opens a window: the copy already running has it.
  run.os.AddProcess({kOtherProgram, 0});
  run.os.AddWindow({0x55, kOtherProgram, "My Emulator"});
  Begin();
  EXPECT_EQ(run.RunFor(kForeignWindowAfterMs - 100), std::nullopt);
  EXPECT_EQ(run.Keys(), "");
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_EQ(run.Keys(), kWalk);
  EXPECT_THAT(run.os.TraceOf("BringToFront"), Each("BringToFront 0x55"));
}

TEST_F(WindowWaitTest, AVisibleWindowIsPreferredOverAHiddenOne) {
  run.os.AddWindow({0x56, kEmulator, "My Emulator", 0, FakePlatform::kNever});  // never shown
  run.EmulatorWindowAppears(1000);
  Begin();
  EXPECT_EQ(run.RunFor(5000), std::nullopt);
  EXPECT_EQ(TimeOf(run.os, "Key "), 1000u);
  EXPECT_THAT(run.os.TraceOf("BringToFront"), Each("BringToFront 0x2a"));
}

TEST_F(WindowWaitTest, AWindowThatStaysHiddenIsTypedIntoOnceSettled) {
  run.os.AddWindow({0x56, kEmulator, "My Emulator", 100, FakePlatform::kNever});
  Begin();
  EXPECT_EQ(run.RunFor(5000), std::nullopt);
  EXPECT_EQ(run.Keys(), kWalk);
  EXPECT_EQ(TimeOf(run.os, "Key "), 100u + kFocusSettleMs);
}

// The focus settle: window at 100 ms, brought forward as the fake allows.
struct SettleCase {
  const char* name;
  std::uint64_t visibleAt;
  std::uint64_t foregroundDelayMs;
  bool foregroundRefused;
  std::uint64_t firstKeyAt;
};

class FocusSettleTest : public ::testing::TestWithParam<SettleCase> {};

TEST_P(FocusSettleTest, TypesOnceTheWindowIsInFront) {
  const SettleCase& c = GetParam();
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(100, c.visibleAt);
  run.os.foregroundDelayMs = c.foregroundDelayMs;
  run.os.foregroundRefused = c.foregroundRefused;
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(5000), std::nullopt);
  EXPECT_EQ(TimeOf(run.os, "Key 13 down"), c.firstKeyAt);
  EXPECT_EQ(run.Keys(), kWalk);
  // Not brought forward before it is shown.
  EXPECT_EQ(TimeOf(run.os, "BringToFront 0x2a"), c.visibleAt);
}

INSTANTIATE_TEST_SUITE_P(
    Focus, FocusSettleTest,
    ::testing::Values(
        // Shown at 600, in front 250 ms after being brought there.
        SettleCase{"WaitsForVisibilityThenForeground", 600, 250, false, 850},
        // Checked at full speed once the window is there, not at the slow look-up pace.
        SettleCase{"ChecksTheActivationAtFullSpeed", 100, 7, false, 110}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FocusSettleTest, NoKeyUntilTheEmulatorIsInFrontThenTheWholeWalkAfterASettle) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(100);
  run.os.foregroundRefused = true;
  run.os.At(3000, [&] { run.os.foregroundRefused = false; });
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  EXPECT_EQ(run.Keys(), "");
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  // Asked forward every 250 ms from 2100; in front at 3100, seen at 3350,
  // settled by 3850.
  EXPECT_EQ(TimeOf(run.os, "Key 13 down"), 3850u);
  EXPECT_EQ(run.Keys(), kWalk);
}

// A title that matches nothing: the log names the emulator's own windows, once,
// and again only when they change.
class UnmatchedWindowListTest : public ::testing::Test {
 protected:
  static constexpr WindowHandle kDialog = 0x2b;

  void SetUp() override {
    config.handles = {"Wine Mine", "title"};
    config.options = {"log=ruskel.log"};
    run.WriteConfig(config);
    run.os.AddWindow({SimulatedRun::kEmulatorWindow,
                      kEmulator,
                      "WineMine",
                      500,
                      500,
                      FakePlatform::kNever,
                      "WineMineClass",
                      {250, 300}});
  }
  // The listing lines of the log, without their times.
  std::vector<std::string> Listed() {
    std::vector<std::string> out;
    std::string log = run.os.files[run.os.programDir + "\\ruskel.log"];
    for (std::size_t at = 0; (at = log.find("  the emulator shows", at)) != std::string::npos;) {
      const std::size_t end = log.find("\r\n", at);
      out.push_back(log.substr(at + 2, end - at - 2));
      at = end;
    }
    return out;
  }

  ConfigText config;
  SimulatedRun run;
};

TEST_F(UnmatchedWindowListTest, TheWindowsAreLoggedOnceAfterAFewSeconds) {
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(kWindowListAfterMs - 100), std::nullopt);
  EXPECT_THAT(Listed(), ElementsAre());
  EXPECT_EQ(run.RunFor(20000), std::nullopt);
  EXPECT_THAT(Listed(), ElementsAre("the emulator shows \"WineMine\" (class WineMineClass); "
                                    "{handles} asks for \"Wine Mine\"; 250 x 300, match=own "
                                    "would take it"));
  EXPECT_EQ(run.Keys(), "");
}

TEST_F(UnmatchedWindowListTest, AChangedSetIsLoggedAgain) {
  run.os.AddWindow({kDialog, kEmulator, "Settings", 8000, 8000, 15000, "#32770", {200, 100}});
  run.os.At(20000, [&] { run.os.HideWindow(SimulatedRun::kEmulatorWindow); });
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(30000), std::nullopt);
  const std::string main =
      "the emulator shows \"WineMine\" (class WineMineClass); {handles} asks for \"Wine Mine\"; "
      "250 x 300, ";
  const std::string dialog =
      "the emulator shows \"Settings\" (class #32770); {handles} asks for \"Wine Mine\"; "
      "200 x 100, ";
  // match=own takes the first window in z-order only.
  EXPECT_THAT(Listed(),
              ElementsAre(main + "match=own would take it", main + "match=own would take it",
                          dialog + "no match= rule takes it", main + "match=own would take it",
                          "the emulator shows no visible window; {handles} asks for "
                          "\"Wine Mine\""));
}

TEST_F(UnmatchedWindowListTest, NoLogNoListing) {
  config.options = {};
  run.WriteConfig(config);
  run.os.tracePolls = true;
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(20000), std::nullopt);
  EXPECT_THAT(run.os.TraceOf("IsVisible"), ElementsAre());
}

}  // namespace
}  // namespace ruskel
