// Guards for a public cabinet: the player's keys held back while ruskel
// types, one launch per folder, an idle game closed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "driver/idle_watch.h"
#include "platform/key_hold_filter.h"
#include "platform/launch_guard.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::SimulatedRun;
using testing::TimeOf;

const std::string kLog = "C:\\Games\\ruskel\\ruskel.log";
constexpr std::uint64_t kNever = FakePlatform::kNever;

// --- What the hold lets through ---

TEST(KeyHoldFilterTest, HoldsBackThePlayersKeysAndNothingElse) {
  struct Event {
    std::int32_t key;
    bool up;
    bool own;
    bool heldBack;
  };
  struct Case {
    const char* name;
    std::int32_t passKey;
    std::vector<Event> events;
    std::uint32_t presses;
  };
  const std::vector<Case> cases = {
      {"ruskel's own keys pass", 27, {{40, false, true, false}, {40, true, true, false}}, 0},
      {"the player's press and its release are held back",
       27,
       {{40, false, false, true}, {40, true, false, true}},
       1},
      {"autorepeat counts as one press",
       27,
       {{38, false, false, true}, {38, false, false, true}, {38, true, false, true}},
       1},
      {"the exit key passes", 27, {{27, false, false, false}, {27, true, false, false}}, 0},
      {"an exit key given as Shift passes either side",
       16,
       {{160, false, false, false}, {161, false, false, false}},
       0},
      {"an exit key given as left Shift holds back the right one",
       160,
       {{160, false, false, false}, {161, false, false, true}},
       1},
      {"a key down before the hold is let go", 27, {{13, true, false, false}}, 0},
      {"no exit key: every key of the player is held back", 0, {{27, false, false, true}}, 1},
  };
  for (const Case& c : cases) {
    KeyHoldFilter filter(c.passKey);
    for (const Event& e : c.events) {
      EXPECT_EQ(filter.HoldsBack(e.key, e.up, e.own), e.heldBack) << c.name << ", key " << e.key;
    }
    EXPECT_EQ(filter.PressesHeldBack(), c.presses) << c.name;
  }
}

// --- The launch guard ---

TEST(LaunchGuardTest, OnlyARunThatIsOnBlocks) {
  EXPECT_EQ(ClaimOf(GuardLook::Taken), LaunchClaim::Ours);
  EXPECT_EQ(ClaimOf(GuardLook::Abandoned), LaunchClaim::Ours);  // a run ended by force
  EXPECT_EQ(ClaimOf(GuardLook::Failed), LaunchClaim::Ours);
  EXPECT_EQ(ClaimOf(GuardLook::HeldElsewhere), LaunchClaim::AnotherRun);
}

TEST(LaunchGuardTest, OneNamePerFolderWithoutBackslashes) {
  const std::string a = LaunchGuardName("C:\\GAMES\\RUSKEL");
  EXPECT_EQ(a, LaunchGuardName("C:\\GAMES\\RUSKEL"));
  EXPECT_NE(a, LaunchGuardName("C:\\GAMES\\RUSKEL2"));
  EXPECT_NE(a, LaunchGuardName("D:\\GAMES\\RUSKEL"));
  ASSERT_EQ(a.rfind("Local\\", 0), 0u);
  EXPECT_EQ(a.find('\\', 6), std::string::npos);  // only the namespace's backslash
}

TEST(LaunchGuardTest, ASecondLaunchStartsNothingTypesNothingAndTakesNoFocus) {
  SimulatedRun run;
  ConfigText config;
  config.options = {"log=ruskel.log", "cursor=hide"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears(0);
  run.os.anotherRunOn = true;
  run.os.cursorsMarkedBlank = true;  // the first run's, blank while it plays
  EXPECT_FALSE(run.Start("-alpha"));
  EXPECT_EQ(run.os.exitCode(), kExitAnotherRun);
  EXPECT_TRUE(run.os.started.empty());
  EXPECT_TRUE(run.os.keysSent.empty());
  EXPECT_TRUE(run.os.TraceOf("BringToFront").empty());
  EXPECT_TRUE(run.os.TraceOf("RestoreCursors").empty());
  EXPECT_TRUE(run.os.TraceOf("BlankCursors").empty());
  EXPECT_TRUE(run.os.cursorsMarkedBlank);
  EXPECT_THAT(run.os.files[kLog], HasSubstr(std::string(TextOf(Say::AnotherRunOn))));
  EXPECT_THAT(run.os.files[kLog], HasSubstr("exit code 11"));
}

// --- When the hold is on ---

// mygame in slot 12 typed with keydelay: the walk takes a few seconds.
class HoldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config.games = testing::GamesWith("mygame", 12, 20);
    config.options = {"keydelay=50", "startdelay=400", "log=ruskel.log"};
    config.timer = "timer=3000";
    config.misc = {"32/down", "32/up"};
  }
  // When the hold began and ended, in order.
  std::vector<std::uint64_t> HoldTimes(const std::string& what) const {
    std::vector<std::uint64_t> times;
    for (const auto& event : run.os.events()) {
      if (event.what.rfind(what, 0) == 0) times.push_back(event.time);
    }
    return times;
  }

  ConfigText config;
  SimulatedRun run;
};

TEST_F(HoldTest, SpansTheWalkAndTheMiscSequenceAndNothingElse) {
  ASSERT_TRUE(run.Begin(config, "-mygame -keyx27", 100));
  run.os.keysHeldBack = 4;
  EXPECT_EQ(run.RunFor(20000), std::nullopt);
  const auto keys = testing::KeyTimes(run.os);
  ASSERT_EQ(keys.size(), 2u + 24u + 2u + 2u);
  EXPECT_THAT(run.os.TraceOf("HoldBackKeys on"), ::testing::Each("HoldBackKeys on pass=27"));
  const auto on = HoldTimes("HoldBackKeys on");
  const auto off = HoldTimes("HoldBackKeys off");
  ASSERT_EQ(on.size(), 2u);
  ASSERT_EQ(off.size(), 2u);
  // The walk: on from the start delay (a key then would move the menu as
  // well), off once the enter sequence's last key has had its keydelay (a
  // reader that polls sees it only then).
  EXPECT_LE(on[0] + 400, keys[0]);
  EXPECT_EQ(off[0], keys[27] + 50);
  // The misc sequence.
  EXPECT_GT(on[1], off[0]);
  EXPECT_LE(on[1], keys[28]);
  EXPECT_EQ(off[1], keys[29] + 50);
  EXPECT_FALSE(run.os.HoldingKeys());
  EXPECT_THAT(run.os.files[kLog],
              HasSubstr("4 key presses of the player held back while ruskel typed"));
}

TEST_F(HoldTest, OffTypesWithoutIt) {
  config.options.push_back("holdback=off");
  ASSERT_TRUE(run.Begin(config, "-mygame", 100));
  EXPECT_EQ(run.RunFor(20000), std::nullopt);
  EXPECT_EQ(testing::KeyTimes(run.os).size(), 30u);
  EXPECT_TRUE(run.os.TraceOf("HoldBackKeys").empty());
}

TEST_F(HoldTest, ARefusedHoldIsLoggedOnceAndTheWalkGoesOn) {
  run.os.holdRefused = true;
  ASSERT_TRUE(run.Begin(config, "-mygame", 100));
  EXPECT_EQ(run.RunFor(20000), std::nullopt);
  EXPECT_EQ(testing::KeyTimes(run.os).size(), 30u);
  const std::string& log = run.os.files[kLog];
  const std::string line = "the player's keys cannot be held back while ruskel types: ";
  ASSERT_THAT(log, HasSubstr(line));
  EXPECT_EQ(log.find(line), log.rfind(line));
}

// Every way out of a walk ends the hold before ruskel ends: the front end
// gets its keyboard back.
TEST_F(HoldTest, EndsOnEveryWayOutOfTheWalk) {
  struct Case {
    const char* name;
    std::string rom;
    std::function<void(SimulatedRun&)> script;
    int exitCode;
  };
  const std::vector<Case> cases = {
      {"exit key", "-mygame -keyx27", [](SimulatedRun& r) { r.os.PressKey(27, 600, 700); },
       kExitNormal},
      {"close request", "-mygame", [](SimulatedRun& r) { r.os.RequestClose(600); }, kExitNormal},
      {"emulator ended by itself", "-mygame",
       [](SimulatedRun& r) { r.os.startedProcess.endsAt = 600; }, kExitEmulatorEnded},
      {"rom not listed", "-nosuchgame", [](SimulatedRun&) {}, kExitRomNotListed},
      {"focus given up", "-mygame",
       [](SimulatedRun& r) {
         r.os.At(600, [&r] { r.os.foreground = FakePlatform::kFrontEndWindow; });
         r.os.foregroundRefused = true;
       },
       kExitNoFocus},
  };
  for (const Case& c : cases) {
    SimulatedRun r;
    ConfigText file = config;
    file.options.push_back("focuswait=1000");
    c.script(r);
    ASSERT_TRUE(r.Begin(file, c.rom, 100)) << c.name;
    EXPECT_EQ(r.RunFor(20000), c.exitCode) << c.name;
    const std::uint64_t on = TimeOf(r.os, "HoldBackKeys on");
    const std::uint64_t off = TimeOf(r.os, "HoldBackKeys off");
    EXPECT_NE(on, kNever) << c.name;
    EXPECT_NE(off, kNever) << c.name;
    EXPECT_FALSE(r.os.HoldingKeys()) << c.name;
    const auto trace = r.os.Trace();
    const auto offAt = std::find(trace.begin(), trace.end(), "HoldBackKeys off");
    const auto boxOrEnd = std::find_if(trace.begin(), trace.end(), [](const std::string& e) {
      return e.rfind("ErrorBox", 0) == 0 || e.rfind("EndProcess", 0) == 0 ||
             e.rfind("BringToFront 0x10", 0) == 0;
    });
    EXPECT_LT(offAt, boxOrEnd) << c.name << ": the hold outlived the run";
  }
}

// --- The idle count ---

class IdleRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config.options = {"idleexit=5", "log=ruskel.log"};
    run.os.joystickPresent = true;
  }
  // The walk is typed back to back as the window appears at 100 ms.
  static constexpr std::uint64_t kWalkDone = 100;

  ConfigText config;
  SimulatedRun run;
};

TEST_F(IdleRunTest, AnUntouchedGameIsClosedAfterIdleexit) {
  ASSERT_TRUE(run.Begin(config, "-alpha -keyx27", kWalkDone));
  EXPECT_EQ(run.RunFor(20000), kExitNormal);
  const std::uint64_t quit = TimeOf(run.os, testing::kQuitEmulator);
  EXPECT_GE(quit, kWalkDone + 5000);
  EXPECT_LE(quit, kWalkDone + 5000 + kIdleLookMs);
  EXPECT_THAT(run.os.files[kLog],
              HasSubstr("idle close: no key, mouse button or pad button pressed for 5 s"));
}

TEST_F(IdleRunTest, ThePlayersKeysMouseButtonsAndPadButtonsKeepItRunning) {
  struct Case {
    const char* name;
    std::function<void(FakePlatform&, std::uint64_t)> press;
  };
  const std::vector<Case> cases = {
      {"key", [](FakePlatform& os, std::uint64_t t) { os.PressKey(65, t, t + 80); }},
      {"mouse button clicked between two looks",
       [](FakePlatform& os, std::uint64_t t) { os.PressKey(1, t + 10, t + 60); }},
      {"winmm pad button",
       [](FakePlatform& os, std::uint64_t t) { os.HoldButtons(2, t, t + 300); }},
      {"XInput pad button",
       [](FakePlatform& os, std::uint64_t t) { os.HoldXInput(0, 0x1000, t, t + 300); }},
  };
  for (const Case& c : cases) {
    SimulatedRun r;
    r.os.joystickPresent = true;
    r.os.ConnectXInput(0);
    // Mouse buttons come as no event: only the look sees them.
    if (std::string(c.name).rfind("mouse", 0) == 0) r.os.keyEventsDelivered = false;
    for (std::uint64_t t = 2000; t < 30000; t += 2000) c.press(r.os, t);
    ASSERT_TRUE(r.Begin(config, "-alpha -keyx27", kWalkDone)) << c.name;
    EXPECT_EQ(r.RunFor(30000), std::nullopt) << c.name;
    // Once the presses stop, the count runs out.
    EXPECT_EQ(r.RunFor(10000), kExitNormal) << c.name;
    EXPECT_GE(TimeOf(r.os, testing::kQuitEmulator), 28000u + 5000u) << c.name;
  }
}

TEST_F(IdleRunTest, CountsFromTheEndOfTheWalk) {
  config.games = testing::GamesWith("mygame", 12, 20);
  config.options.push_back("keydelay=200");  // a walk of about 5 s
  ASSERT_TRUE(run.Begin(config, "-mygame", kWalkDone));
  EXPECT_EQ(run.RunFor(30000), kExitNormal);
  const auto keys = testing::KeyTimes(run.os);
  ASSERT_EQ(keys.size(), 28u);
  EXPECT_GE(TimeOf(run.os, testing::kQuitEmulator), keys.back() + 5000);
}

// The count adds no wake-up of its own beyond a slow look at the pads, and
// with an exit button it reads the pads on their own beat.
TEST_F(IdleRunTest, WakesNoMoreThanThePadsOwnReading) {
  ASSERT_TRUE(run.Begin(config, "-alpha -keyx27 -butx4", kWalkDone));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_EQ(run.os.TimerInterval(static_cast<int>(TimerId::timWfExit)), kPadPollMs);
  SimulatedRun noButton;
  ASSERT_TRUE(noButton.Begin(config, "-alpha -keyx27", kWalkDone));
  EXPECT_EQ(noButton.RunFor(1000), std::nullopt);
  EXPECT_EQ(noButton.os.TimerInterval(static_cast<int>(TimerId::timWfExit)), kIdleLookMs);
  SimulatedRun idleOff;
  ConfigText plain;
  ASSERT_TRUE(idleOff.Begin(plain, "-alpha -keyx27", kWalkDone));
  EXPECT_EQ(idleOff.RunFor(1000), std::nullopt);
  EXPECT_FALSE(idleOff.os.TimerRunning(static_cast<int>(TimerId::timWfExit)));
}

}  // namespace
}  // namespace ruskel
