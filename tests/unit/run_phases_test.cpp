// Whole runs, from Main to the end of the process, on the simulated platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "case_name.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::GamesWith;
using testing::Repeat;
using testing::SimulatedRun;
using testing::TimeOf;

constexpr int kTimkey = static_cast<int>(TimerId::Timkey);
constexpr int kWfExit = static_cast<int>(TimerId::timWfExit);
constexpr int kMisc = static_cast<int>(TimerId::misc);
const std::string kStartup = "13d 13u";
const std::string kSelect = "40d 40u";
const std::string kEnter = "13d 13u";
const std::string kQuitEmulator = "PostMessage 0x2a 0x12 0 0";

// mygame in slot 12, a misc sequence after 3 s, the window up after 50 ms.
class TypicalRun : public ::testing::Test {
 protected:
  void SetUp() override {
    config.games = GamesWith("mygame", 12, 20);
    config.timer = "timer=3000";
    config.misc = {"32/down", "32/up"};
    Prepare(run);
  }

  void Prepare(SimulatedRun& r) const {
    r.WriteConfig(config);
    r.EmulatorWindowAppears(50);
    r.os.joystickPresent = true;
  }

  ConfigText config;
  SimulatedRun run;
};

TEST_F(TypicalRun, SelectsTheGamePlaysMiscAndEndsOnTheExitKey) {
  ASSERT_TRUE(run.Start("-mygame -keyx27 -butx4"));
  run.os.PressKey(27, 5000, 5100);
  EXPECT_EQ(run.RunFor(10000), kExitNormal);

  EXPECT_EQ(run.Keys(), kStartup + " " + Repeat(kSelect, 12) + " " + kEnter + " 32d 32u");
  const auto& os = run.os;
  EXPECT_THAT(os.TraceOf("Timer"), ElementsAre());
  // Pads read while -butx is set; Timkey until the walk is done; misc once;
  // then the wait for the emulator to quit.
  EXPECT_THAT(os.TraceOf("St"),
              ElementsAre("StartProcess app=C:\\Games\\ruskel\\emulator.exe "
                          "cmd=\"C:\\Games\\ruskel\\emulator.exe\" "
                          "dir=C:\\Games\\ruskel\\ inherit=1 flags=0x20",
                          "StartTimer 2 50ms", "StartTimer 1 10ms", "StartTimer 1 250ms",
                          "StartTimer 1 10ms", "StopTimer 1", "StartTimer 3 3000ms", "StopTimer 3",
                          "StopTimer 2", "StartTimer 4 3000ms"));
  const std::uint64_t found = TimeOf(os, "BringToFront 0x2a");
  EXPECT_EQ(found, 50u);
  EXPECT_EQ(TimeOf(os, "Key 13 down"), found);  // the whole dialogue inside one tick
  EXPECT_EQ(TimeOf(os, "Key 32 down"), found + 3000);
  EXPECT_EQ(TimeOf(os, kQuitEmulator), 5000u);
  EXPECT_EQ(os.Trace().back(), "EndProcess 0");
  EXPECT_EQ(run.state->GameIndex, 12);
}

TEST_F(TypicalRun, ExitButtonMaskMustMatchExactly) {
  ASSERT_TRUE(run.Start("-mygame -keyx27 -butx4"));
  run.os.HoldButtons(5, 4000, 4500);  // buttons 1 and 3 together
  EXPECT_EQ(run.RunFor(4600), std::nullopt);
  run.os.HoldButtons(4, 4700, 4800);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
  EXPECT_EQ(TimeOf(run.os, kQuitEmulator), 4700u);
}

TEST_F(TypicalRun, AnExitKeyAsTheWindowAppearsComesAfterTheWholeWalk) {
  ASSERT_TRUE(run.Start("-mygame"));
  // Pressed at the very moment the window appears (50 ms): keys sent back to
  // back are typed in full within one handler, and the exit comes after them.
  run.os.PressKey(27, 50, 1000);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
  EXPECT_EQ(run.Keys(), kStartup + " " + Repeat(kSelect, 12) + " " + kEnter);
  EXPECT_EQ(TimeOf(run.os, "Key 13 down"), 50u);
  EXPECT_EQ(TimeOf(run.os, kQuitEmulator), 50u);
  const auto trace = run.os.Trace();
  const auto lastKey = std::find_if(trace.rbegin(), trace.rend(),
                                    [](const std::string& e) { return e.rfind("Key ", 0) == 0; });
  const auto quit = std::find(trace.begin(), trace.end(), kQuitEmulator);
  EXPECT_LT(lastKey.base() - trace.begin(), quit - trace.begin());
}

TEST_F(TypicalRun, ExitKeyDuringTheWindowWaitEndsTheRunWithoutKeys) {
  ASSERT_TRUE(run.Start("-mygame"));
  run.os.PressKey(27, 0, 30);  // released before the window appears
  EXPECT_EQ(run.RunFor(40), kExitNormal);
  EXPECT_TRUE(run.os.TraceOf("PostMessage").empty());  // no window yet: nothing to close
  EXPECT_EQ(run.Keys(), "");
}

TEST_F(TypicalRun, ExitKey65IgnoresEscape) {
  ASSERT_TRUE(run.Start("-mygame -keyx65"));
  run.os.PressKey(27, 1000, 1200);
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  run.os.PressKey(65, 2500, 2600);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
}

TEST_F(TypicalRun, NoButtonMeansAnIdleJoystickNeverEndsTheRun) {
  for (const char* args : {"-mygame", "-mygame -butx0", "-mygame -butxabc", "-mygame -butx0.4"}) {
    SimulatedRun fresh;
    Prepare(fresh);
    ASSERT_TRUE(fresh.Start(args));
    EXPECT_EQ(fresh.RunFor(5000), std::nullopt) << args;
  }
}

TEST_F(TypicalRun, ExitKeyThatIsNotANumberLeavesOnlyTheButton) {
  ASSERT_TRUE(run.Start("-mygame -keyxabc -butx2"));
  run.os.PressKey(27, 1000, 1200);
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  run.os.HoldButtons(2, 2500, 2600);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
}

TEST_F(TypicalRun, AMissingJoystickLeavesTheLastReading) {
  run.os.joystickPresent = false;
  ASSERT_TRUE(run.Start("-mygame -butx4"));
  EXPECT_EQ(run.RunFor(5000), std::nullopt);
  EXPECT_EQ(run.state->JoyState.buttons, 0u);

  // Button 2 is held when the pad is unplugged: the reading stays as it was.
  run.os.joystickPresent = true;
  run.os.HoldButtons(2, 5500, 20000);
  run.os.At(6000, [this] { run.os.joystickPresent = false; });
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  EXPECT_EQ(run.state->JoyState.buttons, 2u);
}

TEST(ExitKeyRoundingTest, HalvesGoToTheEvenKeyCode) {
  struct Case {
    const char* args;
    std::int32_t ends;     // the key that ends the run
    std::int32_t ignored;  // its neighbour, which must not
  };
  // Truncating would pick 65 for 65.5, rounding halves up 65 for 64.5.
  for (const Case& c : {Case{"-alpha -keyx65.5", 66, 65}, Case{"-alpha -keyx64.5", 64, 65},
                        Case{"-alpha -keyx65.4", 65, 66}, Case{"-alpha -keyx65.6", 66, 65}}) {
    SimulatedRun run;
    run.WriteConfig(ConfigText{});
    run.EmulatorWindowAppears();
    ASSERT_TRUE(run.Start(c.args));
    run.os.PressKey(c.ignored, 100, 200);
    EXPECT_EQ(run.RunFor(300), std::nullopt) << c.args;
    run.os.PressKey(c.ends, 400, 500);
    EXPECT_EQ(run.RunFor(300), kExitNormal) << c.args;
  }
}

TEST_F(TypicalRun, EmulatorThatQuitsByItselfEndsTheRunAtOnce) {
  ASSERT_TRUE(run.Start("-mygame"));
  run.os.At(1000, [this] {
    run.os.PostWindowMessage(SimulatedRun::kEmulatorWindow, kWmQuit, 0, 0);  // it quits
  });
  EXPECT_EQ(run.RunFor(3000), kExitEmulatorEnded);
  EXPECT_EQ(run.os.now(), 1000u);
  EXPECT_EQ(run.os.TraceOf("PostMessage").size(), 1u);  // only the emulator's own quit
}

struct SlotCase {
  const char* rom;
  std::size_t slot;
  int selects;
};

class GameLookupTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(GameLookupTest, PlaysSelectOncePerSlot) {
  const SlotCase& c = GetParam();
  SimulatedRun run;
  ConfigText config;
  config.games = GamesWith("mygame", c.slot, 20);
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start(std::string("-") + c.rom));
  EXPECT_EQ(run.RunFor(100), std::nullopt);
  std::string expected = kStartup;
  if (c.selects > 0) expected += " " + Repeat(kSelect, c.selects);
  EXPECT_EQ(run.Keys(), expected + " " + kEnter) << c.rom;
  EXPECT_EQ(run.state->GameIndex, c.selects);
}

INSTANTIATE_TEST_SUITE_P(Slots, GameLookupTest,
                         ::testing::Values(SlotCase{"mygame", 0, 0}, SlotCase{"mygame", 1, 1},
                                           SlotCase{"mygame", 12, 12}, SlotCase{"mygame.zip", 3, 3},
                                           SlotCase{"MYGAME.ZIP", 3, 3}, SlotCase{"MyGame", 3, 3},
                                           SlotCase{"C:\\roms\\mygame.Zip", 5, 5}),
                         testing::NamedBy([](const SlotCase& c) {
                           return std::string(c.rom) + " slot " + std::to_string(c.slot);
                         }));

// Both sides are upper-cased as Windows does for the ANSI code page (here
// Windows-1252), so accented names match in any case.
TEST(GameLookupTest, AccentedNamesMatchInAnyCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"-POK\xC9MON", "Pok\xE9mon"},  // É / é
      {"-pok\xE9mon.zip", "POK\xC9MON"},
      {"-\x9Ala\xFF", "\x8ALA\x9F"},  // š ÿ / Š Ÿ
  };
  for (auto [args, listed] : cases) {
    SimulatedRun run;
    ConfigText config;
    config.games = {"alpha", listed, "beta"};
    run.WriteConfig(config);
    run.EmulatorWindowAppears();
    ASSERT_TRUE(run.Start(args));
    EXPECT_EQ(run.RunFor(100), std::nullopt) << args;
    EXPECT_EQ(run.state->GameIndex, 1) << args;
  }
  // ß has no capital in the code page: it matches only itself.
  SimulatedRun run;
  ConfigText config;
  config.games = {"STRASSE"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(
      run.Start("-stra\xDF"
                "e"));
  EXPECT_EQ(run.RunFor(100), kExitRomNotListed);
}

class UnlistedRomTest : public ::testing::TestWithParam<const char*> {};

TEST_P(UnlistedRomTest, PlaysStartupThenClosesTheEmulatorAndEnds) {
  SimulatedRun run;
  ConfigText config;
  config.games = {"mygame", "", "hidden"};  // an empty line hides later games
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start(GetParam()));
  EXPECT_EQ(run.RunFor(100), kExitRomNotListed);
  EXPECT_EQ(run.Keys(), kStartup);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuitEmulator));
  EXPECT_EQ(run.state->GameIndex, -1);
}

INSTANTIATE_TEST_SUITE_P(Roms, UnlistedRomTest,
                         ::testing::Values("-othergame", "-mygame.7z", "-mygame -", "-hidden",
                                           "-mygamezip"),
                         testing::NamedBy([](const char* rom) { return std::string(rom); }));

TEST(RunPhasesTest, MiscDelayZeroNeverPlaysMisc) {
  SimulatedRun run;
  ConfigText config;
  config.misc = {"32/down", "32/up"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(70000), std::nullopt);
  EXPECT_EQ(run.Keys(), kStartup + " " + kEnter);
  EXPECT_TRUE(run.os.TraceOf("StartTimer 3").empty());
}

TEST(RunPhasesTest, CloseModeNullClosesTheEmulatorsPopupInFront) {
  SimulatedRun run;
  ConfigText config;
  config.handles = {"My Emulator", "null"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  run.os.AddWindow({0x77, SimulatedRun::kEmulatorProcess, "Some Popup"});
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.At(1000, [&] { run.os.foreground = 0x77; });
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(3000), kExitNormal);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre("PostMessage 0x77 0x12 0 0"));
}

TEST(RunPhasesTest, CloseModeNullAfterTheEmulatorWindowHasGoneLeavesTheFrontEnd) {
  SimulatedRun run;
  ConfigText config;
  config.handles = {"My Emulator", "null"};
  run.WriteConfig(config);
  run.os.AddWindow({SimulatedRun::kEmulatorWindow, SimulatedRun::kEmulatorProcess, "My Emulator", 0,
                    0, 1000});  // gone at 1 s
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.At(1000, [&] { run.os.foreground = FakePlatform::kFrontEndWindow; });
  run.os.PressKey(27, 2000, 2100);
  EXPECT_EQ(run.RunFor(3000), kExitNormal);
  // The front end, now in front, is not the emulator's: nothing is asked to quit.
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre());
}

TEST(RunPhasesTest, AnUnlistedRomStillStartsTheEmulatorFirst) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(300);
  ASSERT_TRUE(run.Start("-othergame"));
  EXPECT_EQ(run.RunFor(1000), kExitRomNotListed);
  const auto trace = run.os.Trace();
  auto first = [&](const std::string& prefix) {
    for (std::size_t i = 0; i < trace.size(); ++i) {
      if (trace[i].rfind(prefix, 0) == 0) return i;
    }
    return trace.size();
  };
  ASSERT_LT(first("StartProcess"), trace.size());
  EXPECT_LT(first("StartProcess"), first("BringToFront"));
  EXPECT_LT(first("BringToFront"), first("Key "));
  EXPECT_LT(first("Key "), first("PostMessage"));
  EXPECT_EQ(TimeOf(run.os, "StartProcess app=C:\\Games\\ruskel\\emulator.exe "), 0u);
  EXPECT_EQ(TimeOf(run.os, kQuitEmulator), 300u);  // only once its window is up
  EXPECT_EQ(run.Keys(), kStartup);
}

TEST(RunPhasesTest, WindowTitleNullTypesAtOnceIntoWhateverHasFocus) {
  SimulatedRun run;
  ConfigText config;
  config.handles = {"null", "title"};
  run.WriteConfig(config);
  ASSERT_TRUE(run.Start("-beta"));
  run.os.PressKey(27, 500, 600);
  EXPECT_EQ(run.RunFor(1000), kExitNormal);
  EXPECT_EQ(TimeOf(run.os, "BringToFront 0x0"), kFocusCheckMs);
  EXPECT_EQ(run.Keys(), kStartup + " " + kSelect + " " + kEnter);
  // The front end is in front and is not the emulator's: it never gets the quit.
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre());
}

TEST(WindowWaitTest, LooksOncePerTickWithoutBlocking) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(5000);
  run.os.tracePolls = true;
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(4000), std::nullopt);
  // Every handler call returned: one lookup per slow tick, not a spin.
  // (a first look at 10 ms, then one every 500 ms)
  EXPECT_EQ(run.os.TraceOf("TopWindowsTitled").size(),
            1u + (4000u - kFocusCheckMs) / kWindowLookupMs);
  EXPECT_EQ(run.Keys(), "");
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  // The window event wakes the wait at once.
  EXPECT_EQ(TimeOf(run.os, "Key 13 down"), 5000u);
}

TEST(WindowWaitTest, ExitKeyEndsAWaitThatNeverEnds) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 60000, 60100);
  EXPECT_EQ(run.RunFor(100000), kExitNormal);
  EXPECT_TRUE(run.os.TraceOf("PostMessage").empty());
  EXPECT_EQ(run.os.now(), 60100u);  // once the key is up again
}

TEST(WindowWaitTest, ExitDuringTheWaitClosesOnlyTheTitledWindow) {
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
    EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuitEmulator)) << closeMode;
    EXPECT_EQ(run.Keys(), "") << closeMode;
  }
}

TEST(FocusSettleTest, WaitsForVisibilityThenForeground) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(100, 600);
  run.os.foregroundDelayMs = 250;
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  EXPECT_EQ(TimeOf(run.os, "BringToFront 0x2a"), 600u);  // not before it is shown
  EXPECT_EQ(TimeOf(run.os, "Key 13 down"), 850u);        // once it is really in front
}

TEST(FocusSettleTest, ChecksTheActivationAtFullSpeedOnceTheWindowIsThere) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(100);
  run.os.foregroundDelayMs = 7;
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  EXPECT_EQ(TimeOf(run.os, "Key 13 down"), 110u);  // not at the next slow wait tick
}

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
  EXPECT_EQ(run.Keys(), kStartup + " " + kEnter);
}

TEST(FocusSettleTest, ExitKeyWorksWhileSettling) {
  SimulatedRun run;
  run.WriteConfig(ConfigText{});
  run.EmulatorWindowAppears(100);
  run.os.foregroundRefused = true;
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 1000, 1100);
  EXPECT_EQ(run.RunFor(5000), kExitNormal);
  EXPECT_EQ(run.Keys(), "");
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuitEmulator));
}

TEST(TableEndTest, TwentyStepSequencePlaysAllStepsAndGoesOn) {
  SimulatedRun run;
  ConfigText config;
  config.startup.clear();
  for (int i = 0; i < 10; ++i) {
    config.startup.push_back("38/down");
    config.startup.push_back("38/up");
  }
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start("-beta"));
  EXPECT_EQ(run.RunFor(100), std::nullopt);
  EXPECT_EQ(run.Keys(), Repeat("38d 38u", 10) + " " + kSelect + " " + kEnter);
}

TEST(TableEndTest, FullGameListFindsTheLastAndEndsCleanlyForAnUnlistedRom) {
  ConfigText config;
  config.games = GamesWith("lastgame", 399, 400);
  {
    SimulatedRun run;
    run.WriteConfig(config);
    run.EmulatorWindowAppears();
    ASSERT_TRUE(run.Start("-lastgame"));
    EXPECT_EQ(run.RunFor(100), std::nullopt);
    EXPECT_EQ(run.state->GameIndex, 399);
    EXPECT_EQ(run.os.TraceOf("Key 40 down").size(), 399u);
  }
  {
    SimulatedRun run;
    run.WriteConfig(config);
    run.EmulatorWindowAppears();
    ASSERT_TRUE(run.Start("-unlisted"));
    EXPECT_EQ(run.RunFor(100), kExitRomNotListed);
    EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuitEmulator));
  }
}

TEST(SequencePlayerTest, OnlyExactDownAndUpSendKeys) {
  SimulatedRun run;
  ConfigText config;
  config.startup = {"40 / down", "40/up ", "41/Down", "42/press", "43/up/extra", "junk/wait"};
  config.games = {"alpha"};
  config.options = {"scancodes=off"};
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start("-alpha"));
  EXPECT_EQ(run.RunFor(100), std::nullopt);
  EXPECT_EQ(run.Keys(), "40d 40u 43u " + kEnter);
  for (const std::string& key : run.os.TraceOf("Key ")) {
    EXPECT_EQ(key.find(' ', key.rfind(' ') - 1), key.rfind(' ')) << key;  // "Key 40 down", no more
  }
}

TEST(Form1Test, TicksDuringAnErrorBoxDoNotReenterTheHandlers) {
  SimulatedRun run;
  ConfigText config;
  config.timer = "timer=100";
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start("-alpha"));
  ASSERT_EQ(run.RunFor(50), std::nullopt);
  // A table the loader would refuse, so that playing it fails inside misc_Timer.
  run.state->MiscSeq[0] = {"300", "down"};
  int nested = 0;
  run.os.whileMessageBoxShown = [&] {
    run.os.PressKey(27, run.os.now(), run.os.now() + 1000);  // would end the run if ticked
    for (int id : {kTimkey, kWfExit, kMisc}) run.form.OnEvent({EventKind::Timer, id});
    ++nested;
  };
  EXPECT_EQ(run.RunFor(200), kExitInternal);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(run.os.TraceOf("ErrorBox").size(), 1u);
  EXPECT_EQ(run.os.Trace().back(), "EndProcess 5");
}

}  // namespace
}  // namespace ruskel
