// {game NAME} sections: what they read, what a run of their rom gets, and
// each mistake they can hold.
#include "core/game_section.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "case_name.h"
#include "core/config_loader.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::HasSubstr;
using testing::SimulatedRun;

// The default file (exe= on line 25) with these lines after it.
std::string WithTail(const std::vector<std::string>& tail,
                     const std::vector<std::string>& options = {}) {
  ConfigText config;
  config.games = {"alpha", "beta",
                  "\xe9"
                  "clair"};  // éclair in Windows-1252
  config.options = options;
  config.tail = tail;
  return config.Build();
}

struct ReadCase {
  const char* name;
  std::vector<std::string> options;
  std::vector<std::string> tail;
  void (*check)(const RunState&);
};

class GameSectionRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(GameSectionRead, StoresTheSectionAndLeavesTheFilesValues) {
  RunState s;
  ASSERT_EQ(ParseConfig(WithTail(GetParam().tail, GetParam().options), s), std::nullopt);
  GetParam().check(s);
}

const ReadCase kReadCases[] = {
    {"OptionsDelayAndMiscOverTheFilesOptions",
     {"keydelay=20", "exithold=100"},
     {"{game beta}", "; slower keys for this one", "", "keydelay=60", "timer=5000", "{misc}",
      "65/down", "65/up", "{/misc}", "{/game}"},
     [](const RunState& s) {
       ASSERT_EQ(s.GameSections.size(), 1u);
       const GameSection& g = s.GameSections[0];
       EXPECT_EQ(g.line, 30);
       EXPECT_EQ(g.slot, 1);
       EXPECT_EQ(g.options.keydelay, 60u);
       EXPECT_EQ(g.options.exithold, 100u);  // the file's, kept
       EXPECT_EQ(g.optionsSet, std::vector<std::string>{"keydelay"});
       EXPECT_EQ(g.miscDelay, 5000);
       ASSERT_TRUE(g.miscSeq);
       EXPECT_EQ((*g.miscSeq)[1].key, "65");
       EXPECT_EQ((*g.miscSeq)[2].action, "misc}");
       EXPECT_EQ(s.Options.keydelay, 20u);
       EXPECT_EQ(s.MiscDelay, 0);
       EXPECT_EQ(DescribeGameSection(g), "keydelay=60, timer=5000, {misc} of 2 steps");
     }},
    {"WithoutAnOptionsSectionAndWithFreeTextBetween",
     {},
     {"notes", "{game alpha}", "{/game}", "more notes", "{game  beta  }", "follow=off", "{/game}"},
     [](const RunState& s) {
       ASSERT_EQ(s.GameSections.size(), 2u);
       EXPECT_EQ(s.GameSections[0].slot, 0);
       EXPECT_FALSE(s.GameSections[0].miscDelay || s.GameSections[0].miscSeq);
       EXPECT_EQ(DescribeGameSection(s.GameSections[0]), "nothing");
       EXPECT_EQ(s.GameSections[1].name, "beta");
       EXPECT_FALSE(s.GameSections[1].options.follow);
     }},
    {"NamesMatchAsTheRomLookupDoes",
     {},
     {"{game ALPHA.zip}", "{/game}",
      "{game \xc9"
      "CLAIR}",
      "{/game}"},
     [](const RunState& s) {
       ASSERT_EQ(s.GameSections.size(), 2u);
       EXPECT_EQ(s.GameSections[0].slot, 0);
       EXPECT_EQ(s.GameSections[1].slot, 2);
     }},
};

INSTANTIATE_TEST_SUITE_P(GameSections, GameSectionRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
  const char* name;
  std::vector<std::string> options;  // an {options} section on lines 26 on
  std::vector<std::string> tail;
  const char* message;
};

class GameSectionRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(GameSectionRefused, NamesTheLineAndWhatIsWrong) {
  RunState s;
  const auto error = ParseConfig(WithTail(GetParam().tail, GetParam().options), s);
  ASSERT_TRUE(error.has_value());
  EXPECT_THAT(*error, HasSubstr(GetParam().message));
}

const BadCase kBadCases[] = {
    {"NameNotListedOffersTheNearest",
     {},
     {"{game betta}", "{/game}"},
     "lconfig.ini line 26: {game betta} names no game of {gamelist} (did you mean \"beta\"?)"},
    {"NoName", {}, {"{game }", "{/game}"}, "line 26: expected a game of the list such as {game"},
    {"SameGameTwice",
     {},
     {"{game beta}", "{/game}", "{game BETA}", "{/game}"},
     "line 28: a second {game} section for \"beta\" (the first is on line 26)"},
    {"UnknownOption",
     {},
     {"{game beta}", "keydelya=60", "{/game}"},
     "line 27: unknown option \"keydelya\" (did you mean keydelay?)"},
    {"LineThatIsNoOption",
     {},
     {"{game beta}", "40/down", "{/game}"},
     "line 27: expected an option such as keydelay=60 inside {game beta}, found \"40/down\""},
    {"BadValue",
     {},
     {"{game beta}", "keydelay=2000", "{/game}"},
     "line 27: bad value \"2000\" for keydelay"},
    {"DelayTwice",
     {},
     {"{game beta}", "timer=1", "timer=2", "{/game}"},
     "line 28: the misc delay is given twice (first on line 27)"},
    {"Unclosed",
     {},
     {"{game beta}", "keydelay=1"},
     "the file ended after line 27 without the line {/game} that closes {game beta} of line 26"},
    {"OptionsAfterAGameSection",
     {},
     {"{game beta}", "{/game}", "{options}", "keydelay=1", "{/options}"},
     "line 28: {options} must come before the first {game} section (line 26)"},
    {"WalkConflictAtTheSectionsLastOptionOfIt",
     {},
     {"{game beta}", "{/game}", "{game alpha}", "wrapkey=38", "pagekey=38", "pagesize=5",
      "{/game}"},
     "line 30: pagekey and wrapkey are the same key (38)"},
    {"WalkConflictWithTheFilesOptionAtTheSectionsLine",
     {"pagekey=34", "pagesize=20"},
     {"{game beta}", "keydelay=1", "pagekey=none", "{/game}"},
     "line 30: pagesize needs pagekey=VK"},
};

INSTANTIATE_TEST_SUITE_P(GameSections, GameSectionRefused, ::testing::ValuesIn(kBadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The file for the runs: beta has its own keys, delay and misc sequence.
ConfigText MergeConfig() {
  ConfigText config;
  config.timer = "timer=0";
  config.misc = {"77/down", "77/up"};
  config.options = {"log=ruskel.log", "keydelay=0", "exithold=50"};
  config.tail = {"{game beta}", "keydelay=5", "timer=10", "{misc}",
                 "65/down",     "65/up",      "{/misc}",  "{/game}"};
  return config;
}

struct MergeCase {
  const char* arguments;
  std::uint32_t keydelay;
  std::uint32_t miscInterval;
  bool sectionApplied;
};

class GameSectionMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(GameSectionMerge, OnlyTheSectionsRomGetsItsValues) {
  const MergeCase& c = GetParam();
  SimulatedRun run;
  ASSERT_TRUE(run.Begin(MergeConfig(), c.arguments));
  EXPECT_EQ(run.state->Options.keydelay, c.keydelay);
  EXPECT_EQ(run.state->Options.exithold, 50u);
  EXPECT_EQ(run.form.Interval(TimerId::misc), c.miscInterval);
  EXPECT_EQ(run.state->GameSectionApplied, c.sectionApplied ? 0 : -1);
  const std::string& log = run.os.files["C:\\Games\\ruskel\\ruskel.log"];
  EXPECT_EQ(log.find("game section {game beta} of line 33 applied: keydelay=5, timer=10, {misc} "
                     "of 2 steps") != std::string::npos,
            c.sectionApplied)
      << log;
}

INSTANTIATE_TEST_SUITE_P(
    GameSections, GameSectionMerge,
    ::testing::Values(MergeCase{"-beta -keyx27", 5, 10, true}, MergeCase{"-BETA.ZIP", 5, 10, true},
                      MergeCase{"-alpha", 0, 0, false}, MergeCase{"-delta", 0, 0, false}),
    [](const auto& info) { return testing::CaseName(info.index, info.param.arguments); });

TEST(GameSectionMergeTest, TheSectionsMiscKeysAreTypedAfterItsDelay) {
  SimulatedRun run;
  ASSERT_TRUE(run.Begin(MergeConfig(), "-beta -keyx27"));
  run.RunFor(1000);
  EXPECT_EQ(run.Keys(), "13d 13u 40d 40u 13d 13u 65d 65u");
}

}  // namespace
}  // namespace ruskel
