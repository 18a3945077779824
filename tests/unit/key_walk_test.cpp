// The menu walk: scan codes, key timing, the start delay and the misc sequence.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/extended_keys.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::GamesWith;
using testing::SimulatedRun;
using testing::TimeOf;

std::vector<std::uint64_t> KeyTimes(const FakePlatform& os) {
  std::vector<std::uint64_t> times;
  for (const auto& event : os.events()) {
    if (event.what.rfind("Key ", 0) == 0) times.push_back(event.time);
  }
  return times;
}

struct ScanCase {
  const char* name;
  const char* option;  // empty: no options section
  std::vector<std::string> keys;
};

class ScanCodeTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanCodeTest, SendsWhatTheOptionAsksFor) {
  SimulatedRun run;
  ConfigText config;
  config.startup = {"40/down", "40/up", "13/down", "255/up", "19/down", "144/down", "44/down"};
  config.enter = {};
  config.games = {"alpha"};
  if (*GetParam().option != '\0') config.options = {GetParam().option};
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(100), std::nullopt);
  EXPECT_EQ(run.os.TraceOf("Key "), GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ScanCodeTest,
    ::testing::Values(
        // Down is an E0 key: without the flag scan-code readers take it for numpad 2.
        ScanCase{"DefaultIsOn",
                 "",
                 {"Key 40 down scan=0x50 ext", "Key 40 up scan=0x50 ext", "Key 13 down scan=0x1c",
                  "Key 255 up", "Key 19 down scan=0x45", "Key 144 down scan=0x45 ext",
                  "Key 44 down scan=0x37 ext"}},
        ScanCase{"Off",
                 "scancodes=off",
                 {"Key 40 down", "Key 40 up", "Key 13 down", "Key 255 up", "Key 19 down",
                  "Key 144 down", "Key 44 down"}},
        // A key without a scan code is sent as before, not as scan code 0; Pause,
        // Num Lock and Print Screen go by virtual-key code.
        ScanCase{"Strict",
                 "scancodes=strict",
                 {"Key 40 down scan=0x50 ext scancode", "Key 40 up scan=0x50 ext scancode",
                  "Key 13 down scan=0x1c scancode", "Key 255 up", "Key 19 down scan=0x45",
                  "Key 144 down scan=0x45 ext", "Key 44 down scan=0x37 ext"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExtendedKeyTest, TheE0FamilyAndNothingElse) {
  for (int vk : {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E, 0x5B, 0x5C, 0x5D, 0x6F,
                 0xA3, 0xA5, 0x90, 0x2C}) {
    EXPECT_TRUE(IsExtendedKey(static_cast<std::uint8_t>(vk))) << vk;
  }
  // Return, numpad keys, left Ctrl and Alt, letters and the plain Ctrl/Alt codes are not.
  for (int vk : {0x0D, 0x60, 0x62, 0x68, 0x6A, 0x6B, 0x6D, 0x6E, 0xA2, 0xA4, 0x41, 0x11, 0x12, 0x10,
                 0x1B, 0x20}) {
    EXPECT_FALSE(IsExtendedKey(static_cast<std::uint8_t>(vk))) << vk;
  }
}

// mygame in slot 2, keydelay 60: Return, 2 x Down, Return.
class DelayedWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    config.games = GamesWith("mygame", 2, 5);
    config.startup = {};
    config.options = {"keydelay=60"};
  }
  void Begin(const std::string& args = "-mygame") {
    run.WriteConfig(config);
    run.EmulatorWindowAppears(100);
    ASSERT_TRUE(run.Start(args));
  }
  ConfigText config;
  SimulatedRun run;
};

TEST_F(DelayedWalk, HoldsAndReleasesEachKeyForTheDelay) {
  Begin();
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  EXPECT_EQ(run.Keys(), "40d 40u 40d 40u 13d 13u");
  // A settle before the first key too.
  EXPECT_THAT(KeyTimes(run.os), ElementsAre(250, 310, 370, 430, 490, 550));
  EXPECT_FALSE(run.os.TimerRunning(static_cast<int>(TimerId::Timkey)));
}

TEST_F(DelayedWalk, MiscIsArmedOnlyOnceTheEnterSequenceHasFinished) {
  config.timer = "timer=500";
  config.misc = {"32/down", "32/up"};
  Begin();
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  // The walk ends 60 ms after the last key-up (550 + 60); misc 500 ms after
  // that, paced by the same delay.
  const auto times = KeyTimes(run.os);
  ASSERT_EQ(times.size(), 8u);
  EXPECT_EQ(times[6], 1110u);
  EXPECT_EQ(times[7], 1170u);
}

TEST_F(DelayedWalk, ExitKeyMidWalkStopsTheKeysAndClosesTheEmulator) {
  config.games = GamesWith("mygame", 300, 400);
  Begin();
  run.os.PressKey(27, 5000, 5050);
  EXPECT_EQ(run.RunFor(60000), kExitNormal);
  EXPECT_EQ(TimeOf(run.os, "PostMessage"), 5000u);  // asked to quit at the press
  EXPECT_EQ(run.os.now(), 5060u);                   // ended once the key is up
  const auto times = KeyTimes(run.os);
  ASSERT_FALSE(times.empty());
  EXPECT_LE(times.back(), 5000u);
  EXPECT_LT(times.size(), 600u);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre("PostMessage 0x2a 0x12 0 0"));
}

TEST_F(DelayedWalk, ExitButtonMidWalkWorksToo) {
  config.games = GamesWith("mygame", 300, 400);
  Begin("-mygame -butx2");
  run.os.joystickPresent = true;
  run.os.HoldButtons(2, 3000, 3200);
  EXPECT_EQ(run.RunFor(60000), kExitNormal);
  EXPECT_LE(TimeOf(run.os, "PostMessage"), 3000u + kPadPollMs);
  EXPECT_LE(run.os.now(), 3200u + kReleaseLookMs);  // the button handed back released
}

TEST(WalkStartTest, TheEmulatorHasAnsweredBeforeTheFirstKey) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(100);
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  const auto trace = run.os.Trace();
  const auto answered = std::find(trace.begin(), trace.end(), "WaitUntilWindowResponds 0x2a 500ms");
  const auto firstKey = std::find_if(trace.begin(), trace.end(),
                                     [](const std::string& e) { return e.rfind("Key ", 0) == 0; });
  ASSERT_NE(answered, trace.end());
  EXPECT_LT(answered, firstKey);
}

TEST(StartDelayTest, WaitsAfterTheWindowIsInFrontAndChecksTheFrontAgain) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"startdelay=1500"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(100);
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.At(800, [&] { run.os.foreground = FakePlatform::kFrontEndWindow; });  // something took it
  EXPECT_EQ(run.RunFor(3000), std::nullopt);
  const auto keys = KeyTimes(run.os);
  ASSERT_FALSE(keys.empty());
  EXPECT_EQ(keys.front(), 1600u);
  // The last bring-to-front comes right before the first key.
  std::uint64_t lastFront = 0;
  for (const auto& event : run.os.events()) {
    if (event.what == "BringToFront 0x2a") lastFront = event.time;
  }
  EXPECT_EQ(lastFront, 1600u);
}

TEST(StartDelayTest, ExitKeyWorksDuringTheDelay) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"startdelay=5000"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(100);
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);
  EXPECT_EQ(run.Keys(), "");
}

}  // namespace
}  // namespace ruskel
