// MenuWalk: the rom's slot in the game list, the select sequence once per
// slot, an unlisted rom, full tables, and the pace of keydelay.
#include "driver/menu_walk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "case_name.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::GamesWith;
using testing::KeyTimes;
using testing::kQuitEmulator;
using testing::Repeat;
using testing::SimulatedRun;
using testing::TimeOf;

const std::string kStartup = "13d 13u";
const std::string kSelect = "40d 40u";
const std::string kEnter = "13d 13u";

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
  ASSERT_TRUE(run.Begin(config, std::string("-") + c.rom));
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
    ASSERT_TRUE(run.Begin(config, args));
    EXPECT_EQ(run.RunFor(100), std::nullopt) << args;
    EXPECT_EQ(run.state->GameIndex, 1) << args;
  }
  // ß has no capital in the code page: it matches only itself.
  SimulatedRun run;
  ConfigText config;
  config.games = {"STRASSE"};
  ASSERT_TRUE(run.Begin(config,
                        "-stra\xDF"
                        "e"));
  EXPECT_EQ(run.RunFor(100), kExitRomNotListed);
}

class UnlistedRomTest : public ::testing::TestWithParam<const char*> {};

TEST_P(UnlistedRomTest, PlaysStartupThenClosesTheEmulatorAndEnds) {
  SimulatedRun run;
  ConfigText config;
  config.games = {"mygame", "", "hidden"};  // an empty line hides later games
  ASSERT_TRUE(run.Begin(config, GetParam()));
  EXPECT_EQ(run.RunFor(100), kExitRomNotListed);
  EXPECT_EQ(run.Keys(), kStartup);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuitEmulator));
  EXPECT_EQ(run.state->GameIndex, -1);
}

INSTANTIATE_TEST_SUITE_P(Roms, UnlistedRomTest,
                         ::testing::Values("-othergame", "-mygame.7z", "-mygame -", "-hidden",
                                           "-mygamezip", "-mygame.zip.zip"),
                         testing::NamedBy([](const char* rom) { return std::string(rom); }));

TEST(UnlistedRomTest, StillStartsTheEmulatorAndWaitsForItsWindowFirst) {
  SimulatedRun run;
  ASSERT_TRUE(run.Begin(ConfigText{}, "-othergame", 300));
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

TEST(TableEndTest, TwentyStepSequencePlaysAllStepsAndGoesOn) {
  SimulatedRun run;
  ConfigText config;
  config.startup.clear();
  for (int i = 0; i < 10; ++i) {
    config.startup.push_back("38/down");
    config.startup.push_back("38/up");
  }
  ASSERT_TRUE(run.Begin(config, "-beta"));
  EXPECT_EQ(run.RunFor(100), std::nullopt);
  EXPECT_EQ(run.Keys(), Repeat("38d 38u", 10) + " " + kSelect + " " + kEnter);
}

TEST(TableEndTest, FullGameListFindsTheLastAndEndsCleanlyForAnUnlistedRom) {
  ConfigText config;
  config.games = GamesWith("lastgame", 399, 400);
  {
    SimulatedRun run;
    ASSERT_TRUE(run.Begin(config, "-lastgame"));
    EXPECT_EQ(run.RunFor(100), std::nullopt);
    EXPECT_EQ(run.state->GameIndex, 399);
    EXPECT_EQ(run.os.TraceOf("Key 40 down").size(), 399u);
  }
  {
    SimulatedRun run;
    ASSERT_TRUE(run.Begin(config, "-unlisted"));
    EXPECT_EQ(run.RunFor(100), kExitRomNotListed);
    EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre(kQuitEmulator));
  }
}

TEST(WalkStartTest, TheEmulatorHasAnsweredBeforeTheFirstKey) {
  SimulatedRun run;
  ASSERT_TRUE(run.Begin(ConfigText{}, "-alpha", 100));
  EXPECT_EQ(run.RunFor(1000), std::nullopt);
  const auto trace = run.os.Trace();
  const auto answered = std::find(trace.begin(), trace.end(), "WaitUntilWindowResponds 0x2a 500ms");
  const auto firstKey = std::find_if(trace.begin(), trace.end(),
                                     [](const std::string& e) { return e.rfind("Key ", 0) == 0; });
  ASSERT_NE(answered, trace.end());
  EXPECT_LT(answered, firstKey);
}

// mygame in slot 2, keydelay 60: Return, 2 x Down, Return.
class DelayedWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    config.games = GamesWith("mygame", 2, 5);
    config.startup = {};
    config.options = {"keydelay=60"};
  }
  ConfigText config;
  SimulatedRun run;
};

TEST_F(DelayedWalk, HoldsAndReleasesEachKeyForTheDelay) {
  ASSERT_TRUE(run.Begin(config, "-mygame", 100));
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  EXPECT_EQ(run.Keys(), "40d 40u 40d 40u 13d 13u");
  // A settle before the first key too.
  EXPECT_THAT(KeyTimes(run.os), ElementsAre(250, 310, 370, 430, 490, 550));
  EXPECT_FALSE(run.os.TimerRunning(static_cast<int>(TimerId::Timkey)));
}

TEST_F(DelayedWalk, MiscIsArmedOnlyOnceTheEnterSequenceHasFinished) {
  config.timer = "timer=500";
  config.misc = {"32/down", "32/up"};
  ASSERT_TRUE(run.Begin(config, "-mygame", 100));
  EXPECT_EQ(run.RunFor(2000), std::nullopt);
  // The walk ends 60 ms after the last key-up (550 + 60); misc 500 ms after
  // that, paced by the same delay.
  const auto times = KeyTimes(run.os);
  ASSERT_EQ(times.size(), 8u);
  EXPECT_EQ(times[6], 1110u);
  EXPECT_EQ(times[7], 1170u);
}

// A modifier the system holds that the walk did not press is released before
// each key; Alt and the Windows keys behind the unassigned key 0xE8, so that
// their lone release opens no menu.
struct StrayModifierCase {
  const char* name;
  std::int32_t heldByPanel;
  std::vector<std::string> startup;
  const char* arguments;
  const char* keys;
};

class StrayModifierTest : public ::testing::TestWithParam<StrayModifierCase> {};

TEST_P(StrayModifierTest, ReleasesOnlyWhatTheWalkDidNotPress) {
  const StrayModifierCase& c = GetParam();
  SimulatedRun run;
  ConfigText config;
  config.games = {"alpha"};
  config.startup = c.startup;
  config.enter = {};
  config.options = {"log=ruskel.log"};
  run.os.PressKey(c.heldByPanel, 0, 60000);
  ASSERT_TRUE(run.Begin(config, c.arguments));
  EXPECT_EQ(run.RunFor(100), std::nullopt);
  EXPECT_EQ(run.Keys(), c.keys);
  const bool released = std::string(c.keys).find(std::to_string(c.heldByPanel) + "u") !=
                        std::string::npos;
  const std::string& log = run.os.files[run.os.programDir + "\\ruskel.log"];
  EXPECT_EQ(log.find("modifier " + std::to_string(c.heldByPanel) + " was down") !=
                std::string::npos,
            released);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, StrayModifierTest,
    ::testing::Values(
        StrayModifierCase{"LeftCtrl", 0xA2, {"13/down", "13/up"}, "-alpha", "162u 13d 162u 13u"},
        StrayModifierCase{"LeftAltBehindTheMask", 0xA4, {"13/down"}, "-alpha",
                          "232d 232u 164u 13d"},
        StrayModifierCase{"WindowsKeyBehindTheMask", 0x5B, {"13/down"}, "-alpha",
                          "232d 232u 91u 13d"},
        StrayModifierCase{"ShiftTheWalkHoldsItself", 0xA0,
                          {"16/down", "65/down", "65/up", "16/up"}, "-alpha", "16d 65d 65u 16u"},
        StrayModifierCase{"CtrlAsTheExitKey", 0xA2, {"13/down"}, "-alpha -keyx162", "13d"}),
    testing::NamedBy([](const StrayModifierCase& c) { return std::string(c.name); }));

}  // namespace
}  // namespace ruskel
