#include "core/walk_steps.h"

#include <gtest/gtest.h>

#include <variant>

#include "case_name.h"
#include "core/config_loader.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;

WalkStep Step(StepKind kind) {
  WalkStep step;
  step.kind = kind;
  return step;
}

// Each form read from a sequence line, and written back the same way.
struct GoodStep {
  std::string line;
  WalkStep expected;
  std::string written;
};

class GoodStepTest : public ::testing::TestWithParam<GoodStep> {};

TEST_P(GoodStepTest, IsReadAndWrittenBack) {
  const GoodStep& c = GetParam();
  const StepReading reading = ReadWalkStep(c.line);
  const auto* step = std::get_if<WalkStep>(&reading);
  ASSERT_NE(step, nullptr) << c.line;
  EXPECT_EQ(*step, c.expected);
  EXPECT_EQ(StepText(*step), c.written);
}

GoodStep Case(std::string line, WalkStep step, std::string written) {
  return {std::move(line), std::move(step), std::move(written)};
}

WalkStep Pause(std::uint32_t ms) {
  WalkStep s = Step(StepKind::Pause);
  s.ms = ms;
  return s;
}
WalkStep At(StepKind kind, std::int32_t x, std::int32_t y, std::uint32_t colour = 0) {
  WalkStep s = Step(kind);
  s.x = x;
  s.y = y;
  s.colour = colour;
  return s;
}
WalkStep Title(std::string text) {
  WalkStep s = Step(StepKind::Title);
  s.text = std::move(text);
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, GoodStepTest,
    ::testing::Values(Case("wait 500", Pause(500), "wait 500"),
                      Case("  wait\t0  ", Pause(0), "wait 0"),
                      Case("wait 600000", Pause(600000), "wait 600000"),
                      Case("wait pixel 10,20 ff8800", At(StepKind::Pixel, 10, 20, 0xFF8800),
                           "wait pixel 10,20 FF8800"),
                      Case("wait  pixel 0,0 000000", At(StepKind::Pixel, 0, 0, 0),
                           "wait pixel 0,0 000000"),
                      Case("wait title Galaxy  Tennis - {game}", Title("Galaxy  Tennis - {game}"),
                           "wait title Galaxy  Tennis - {game}"),
                      Case("wait title a/b", Title("a/b"), "wait title a/b"),
                      Case("wait idle", Step(StepKind::Idle), "wait idle"),
                      Case("click 320,240", At(StepKind::Click, 320, 240), "click 320,240")),
    [](const ::testing::TestParamInfo<GoodStep>& info) {
      return testing::CaseName(info.index, info.param.line);
    });

// Lines that are no step keep the meaning they always had.
TEST(WalkStepTest, OtherLinesAreNotSteps) {
  for (const char* line : {"13/down", "hello/wait", "wait/down", "Wait 500/down", "{/startup}",
                           "waiting 5", ""}) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(ReadWalkStep(line))) << line;
  }
}

// A malformed step is refused with the line and the form it comes nearest.
struct BadStep {
  std::string line;
  std::vector<std::string> parts;
};

class BadStepTest : public ::testing::TestWithParam<BadStep> {};

TEST_P(BadStepTest, IsRefusedWithTheLineAndTheNearestForm) {
  const BadStep& c = GetParam();
  ConfigText config;
  config.enter = {"13/down", c.line, "13/up"};
  RunState s;
  const auto error = ParseConfig(config.Build(), s);
  ASSERT_TRUE(error.has_value()) << c.line;
  // {entersequence} opens on line 13: the step is line 15.
  EXPECT_NE(error->find("lconfig.ini line 15:"), std::string::npos) << *error;
  EXPECT_NE(error->find("{entersequence}"), std::string::npos) << *error;
  for (const std::string& part : c.parts) {
    EXPECT_NE(error->find(part), std::string::npos) << c.line << ": " << *error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, BadStepTest,
    ::testing::Values(
        BadStep{"wait", {"the form is \"wait <ms>\""}},
        BadStep{"wait 1.5", {"\"1.5\" is not a whole number", "\"wait <ms>\""}},
        BadStep{"wait 600001", {"\"600001\"", "0 to 600000"}},
        BadStep{"wait 500 ms", {"one number of milliseconds", "\"wait <ms>\""}},
        BadStep{"wait pixle 1,2 FFFFFF", {"no wait \"pixle\"", "\"wait pixel <x>,<y> <RRGGBB>\""}},
        BadStep{"wait pixel 1, 2 FFFFFF", {"a point and a colour", "<RRGGBB>"}},
        BadStep{"wait pixel 1;2 FFFFFF", {"\"1;2\" is not x,y", "<x>,<y>"}},
        BadStep{"wait pixel -1,2 FFFFFF", {"\"-1,2\" is not x,y"}},
        BadStep{"wait pixel 1,2 #FFFFFF", {"\"#FFFFFF\" is not six hex digits"}},
        BadStep{"wait pixel 1,2 FFF", {"\"FFF\" is not six hex digits"}},
        BadStep{"wait titel Foo", {"no wait \"titel\"", "\"wait title <text>\""}},
        BadStep{"wait title", {"no text", "\"wait title <text>\""}},
        BadStep{"wait idle now", {"\"wait idle\""}},
        BadStep{"wait until ready", {"\"wait <ms>\"", "\"wait idle\"", "\"wait title <text>\""}},
        BadStep{"click", {"one point", "\"click <x>,<y>\""}},
        BadStep{"click 10 20", {"one point", "\"click <x>,<y>\""}},
        BadStep{"click 10,y", {"\"10,y\" is not x,y", "\"click <x>,<y>\""}},
        BadStep{"Wait 500", {"lower case", "\"wait <ms>\""}},
        BadStep{"CLICK 1,2", {"lower case", "\"click <x>,<y>\""}}),
    [](const ::testing::TestParamInfo<BadStep>& info) {
      return testing::CaseName(info.index, info.param.line);
    });

TEST(WalkStepTest, StepsTakeTheirSlotsWithTheirLinesAndKeepTheSequenceLimit) {
  ConfigText config;
  config.startup = {"wait idle", "13/down", "13/up", "wait title {game}"};
  config.misc = {"click 5,6"};
  RunState s;
  ASSERT_EQ(ParseConfig(config.Build(), s), std::nullopt);
  ASSERT_TRUE(s.StartupSeq[0].step.has_value());
  EXPECT_EQ(s.StartupSeq[0].step->kind, StepKind::Idle);
  EXPECT_EQ(s.StartupSeq[0].step->line, 6);
  EXPECT_EQ(s.StartupSeq[0].key, "wait idle");
  EXPECT_EQ(s.StartupSeq[0].action, "");
  EXPECT_FALSE(s.StartupSeq[1].step.has_value());
  EXPECT_EQ(s.StartupSeq[3].step->text, "{game}");
  EXPECT_EQ(s.StartupSeq[3].step->line, 9);
  EXPECT_EQ(s.MiscSeq[0].step->kind, StepKind::Click);

  // Steps count toward the 20 lines a sequence holds, as keys do.
  ConfigText full;
  full.startup.assign(20, "wait 1");
  EXPECT_EQ(ParseConfig(full.Build(), s), std::nullopt);
  full.startup.push_back("wait 1");
  const auto error = ParseConfig(full.Build(), s);
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find("at most 20 steps"), std::string::npos) << *error;
}

TEST(WalkStepTest, AGameSectionsMiscTakesSteps) {
  ConfigText config;
  config.tail = {"{game beta}", "{misc}", "wait 250", "click 1,2", "{/misc}", "{/game}"};
  RunState s;
  ASSERT_EQ(ParseConfig(config.Build(), s), std::nullopt);
  ASSERT_EQ(s.GameSections.size(), 1u);
  ASSERT_TRUE(s.GameSections[0].miscSeq.has_value());
  const KeySequence& misc = *s.GameSections[0].miscSeq;
  ASSERT_TRUE(misc[0].step.has_value());
  EXPECT_EQ(misc[0].step->kind, StepKind::Pause);
  EXPECT_EQ(misc[0].step->ms, 250u);
  EXPECT_EQ(misc[0].step->line, 28);  // after the 26 lines of the file and {game beta}
  EXPECT_EQ(misc[1].step->kind, StepKind::Click);
}

TEST(WalkStepTest, AColourMatchesWithinEightPerChannel) {
  EXPECT_TRUE(ColourMatches(0x808080, 0x888888));
  EXPECT_TRUE(ColourMatches(0x808080, 0x787878));
  EXPECT_FALSE(ColourMatches(0x808080, 0x898080));
  EXPECT_FALSE(ColourMatches(0x808080, 0x807780));
  EXPECT_FALSE(ColourMatches(0x000000, 0x000009));
  EXPECT_TRUE(ColourMatches(0xFFFFFF, 0xF7FFFF));
}

TEST(WalkStepTest, GameInATitleIsTheGamesName) {
  WalkStep step = Title("{game} - {game}!");
  EXPECT_EQ(TitleWanted(step, "mygame"), "mygame - mygame!");
  // A name that itself reads {game} is put in once.
  EXPECT_EQ(TitleWanted(Title("[{game}]"), "{game}"), "[{game}]");
}

}  // namespace
}  // namespace ruskel
