#include "tools/check/plan_report.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "plan_for.h"
#include "run_harness.h"
#include "tools/check/pitfalls.h"

namespace ruskel::check {
namespace {

using testing::ConfigText;

CheckPlan Check(const std::string& file, const std::string& arguments) {
  return PlanFor(file, arguments, "cab/lconfig.ini", "D:\\cab");
}

struct KeysCase {
  std::vector<std::string> steps;
  const char* shown;
};

class DescribeKeysTest : public ::testing::TestWithParam<KeysCase> {};

TEST_P(DescribeKeysTest, NamesEveryKeyEventAndEveryStepThatTypesNothing) {
  ConfigText config;
  config.startup = GetParam().steps;
  CheckPlan plan = Check(config.Build(), "");
  EXPECT_EQ(DescribeKeys(plan.sequences[kStartup]), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, DescribeKeysTest,
    ::testing::Values(KeysCase{{}, "nothing (no steps)"},
                      KeysCase{{"13/down", "13/up"}, "Return down, Return up"},
                      KeysCase{{"40 / down", "40/up/extra"}, "Down down, Down up"},
                      KeysCase{{"200/down"}, "VK 0xC8 down"},
                      KeysCase{{"40/Down", "27/up"}, "(\"40/Down\" types nothing), Escape up"},
                      KeysCase{{"13/down", "/x", "13/up"},
                               "Return down, \"/x\" ends the sequence here"}),
    testing::NamedBy([](const KeysCase& c) {
      std::string steps;
      for (const std::string& step : c.steps) steps += step + " ";
      return steps.empty() ? std::string("no steps") : steps;
    }));

// Waits are shown as written, the dry run goes past them as if met, and the
// walk time adds the longest they can take: a pause per select played, and
// each wait for the emulator run out to waitlimit.
TEST(FormatPlanTest, ShowsTheStepsAndTheLongestTheWalkCanTakeWithItsWaits) {
  ConfigText config;
  config.options = {"waitlimit=2000", "match=prefix"};
  config.startup = {"wait idle", "wait pixel 3,4 00FF00"};
  config.select = {"40/down", "40/up", "wait 100"};
  config.enter = {"13/down", "13/up", "wait title - {game}", "click 5,6"};
  CheckPlan plan = Check(config.Build(), "-gamma");
  ASSERT_EQ(plan.exitCode, kCheckFileFine) << plan.error;
  const std::string text = FormatPlan(plan, "-gamma", FindPitfalls(plan));
  for (const char* part :
       {"startup:           wait idle, wait pixel 3,4 00FF00\n",
        "select:            Down down, Down up, wait 100\n",
        "enter:             Return down, Return up, wait title - {game}, click 5,6\n",
        "walk:              2 x Down, Return: 6 steps, back to back (keydelay=0)\n",
        "6 key events, 0.0 s (keys sent back to back); with its waits at most 6.2 s (200 ms of "
        "pauses, 3 waits of up to waitlimit=2000 ms)\n",
        "no warnings"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  }
}

// With keydelay a click waits its pace as a key does: 150 ms first, then
// 100 ms after each of 6 key events and 2 clicks: 0.95 s.
TEST(FormatPlanTest, TheWalkTimeCountsAClicksPace) {
  ConfigText config;
  config.options = {"keydelay=100"};
  config.startup = {"click 1,2"};
  config.enter = {"13/down", "13/up", "click 5,6"};
  CheckPlan plan = Check(config.Build(), "-gamma");
  ASSERT_EQ(plan.exitCode, kCheckFileFine) << plan.error;
  const std::string text = FormatPlan(plan, "-gamma", {});
  EXPECT_NE(text.find("2 selects, 6 key events, 1.0 s\n"), std::string::npos) << text;
}

TEST(FormatPlanTest, ShowsTheRunOfAListedRom) {
  ConfigText config;
  config.timer = "timer=1500";
  config.misc = {"16/down", "16/up"};
  CheckPlan plan = Check(config.Build(), "-gamma -keyx112 -butx3");
  const std::string text = FormatPlan(plan, "-gamma -keyx112 -butx3", {});
  for (const char* part :
       {"command line:      \"D:\\cab\\emulator.exe\"\n", "working directory: D:\\cab\\\n",
        "title:             \"My Emulator\" (whole title, any case)",
        "close mode:        \"title\"", "key:               F1 (112)\n",
        "button:            mask 3: buttons 1+2 together, buttons 5 and up not looked at",
        "select:            Down down, Down up\n", "misc delay:        1500 ms",
        "found:             slot 2 (\"gamma\")\n", "select played:     2 times\n",
        "walk:              2 x Down, Return: 6 steps, back to back (keydelay=0)\n",
        "keys typed:        8 key events", "then:              2 key events of misc",
        "no warnings\n"}) {
    EXPECT_NE(text.find(part), std::string::npos) << "missing \"" << part << "\" in:\n" << text;
  }
}

struct ExitRowsCase {
  const char* arguments;
  const char* shown;  // the key and button rows
};

class ExitRowsTest : public ::testing::TestWithParam<ExitRowsCase> {};

TEST_P(ExitRowsTest, SayWhatTheRunWatches) {
  const std::string arguments = GetParam().arguments;
  const std::string text = FormatPlan(Check(ConfigText{}.Build(), arguments), arguments, {});
  const std::size_t from = text.find("\nexit\n");
  ASSERT_NE(from, std::string::npos) << text;
  EXPECT_EQ(text.substr(from + 6, text.find("sequences\n") - from - 6), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ExitRowsTest,
    ::testing::Values(
        ExitRowsCase{"-beta -butx192",
                     "  key:               Escape (27), the default\n"
                     "  button:            mask 192: buttons 7+8 together, nothing else held "
                     "(Xbox pad: Back + Start)\n"},
        ExitRowsCase{"-beta -keyx300",
                     "  key:               none (\"300\" is no key code from 1 to 255)\n"
                     "  button:            none (no -butx given)\n"},
        ExitRowsCase{"-beta -keyx65 -butx0.4",
                     "  key:               A (65)\n"
                     "  button:            none (\"0.4\" is no button mask (1 or more, within "
                     "32 bits))\n"},
        ExitRowsCase{"",
                     "  key:               Escape (27) unless -keyx gives another\n"
                     "  button:            none unless -butx gives one\n"}),
    testing::NamedBy([](const ExitRowsCase& c) {
      return *c.arguments ? std::string(c.arguments) : std::string("no arguments");
    }));

struct RuleCase {
  const char* name;
  std::vector<std::string> handles;
  std::vector<std::string> options;
  const char* shown;  // the window lines; no "window taken" line when nothing is looked for
};

class WindowRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(WindowRuleTest, ShowsTheRuleInWords) {
  ConfigText config;
  config.handles = GetParam().handles;
  config.options = GetParam().options;
  const std::string text = FormatPlan(Check(config.Build(), ""), "", {});
  const std::size_t from = text.find("window\n  title:");
  ASSERT_NE(from, std::string::npos) << text;
  EXPECT_EQ(text.substr(from, text.find("\nexit\n") - from), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WindowRuleTest,
    ::testing::Values(
        RuleCase{"Prefix",
                 {"MyEmu", "title"},
                 {"match=prefix"},
                 "window\n"
                 "  title:             \"MyEmu\" (start of the title, any case), waited for, then "
                 "brought to front\n"
                 "  window taken:      the first visible window whose title starts with \"MyEmu\" "
                 "of the emulator's processes (else a hidden one; another program's after 5 s)\n"
                 "  close mode:        \"title\" (not \"null\"): on exit WM_QUIT goes to the "
                 "window the rule takes, looked up afresh"},
        RuleCase{"ContainsOfAClass",
                 {"Tennis", "title"},
                 {"match=contains", "windowclass=SDL_app"},
                 "window\n"
                 "  title:             \"Tennis\" (part of the title, any case), waited for, then "
                 "brought to front\n"
                 "  window taken:      the first visible window of class \"SDL_app\" whose title "
                 "contains \"Tennis\" of the emulator's processes (else a hidden one; another "
                 "program's after 5 s)\n"
                 "  close mode:        \"title\" (not \"null\"): on exit WM_QUIT goes to the "
                 "window the rule takes, looked up afresh"},
        RuleCase{"OwnWithTheTitleNull",
                 {"null", "title"},
                 {"match=own"},
                 "window\n"
                 "  title:             \"null\" (not read: match=own), waited for, then brought to "
                 "front\n"
                 "  window taken:      the first visible window of the emulator's processes; never "
                 "another program's\n"
                 "  close mode:        \"title\" (not \"null\"): on exit WM_QUIT goes to the "
                 "window the rule takes, looked up afresh"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatPlanTest, SaysWhatHappensToAnUnlistedRomAndListsWarnings) {
  CheckPlan plan = Check(ConfigText{}.Build(), "-delta");
  const std::string text = FormatPlan(plan, "-delta", {"one", "two"});
  EXPECT_NE(text.find("not listed: the emulator is closed right after the startup sequence"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nwarning: one\nwarning: two\n"), std::string::npos) << text;
  EXPECT_NE(text.find("misc delay:        never (timer=0)"), std::string::npos) << text;
}

struct SourceCase {
  const char* arguments;
  std::vector<const char*> parts;
};

class FormatPlanSources : public ::testing::TestWithParam<SourceCase> {};

// Where each value comes from: the rom's {game} section, the file, the default.
TEST_P(FormatPlanSources, MarksEachOptionAndTheGamesMisc) {
  ConfigText config;
  config.timer = "timer=1500";
  config.misc = {"16/down", "16/up"};
  config.options = {"keydelay=20", "exithold=100"};
  config.tail = {"{game beta}", "keydelay=60", "{misc}", "65/down", "65/up", "{/misc}", "{/game}"};
  const CheckPlan plan = Check(config.Build(), GetParam().arguments);
  const std::string text = FormatPlan(plan, GetParam().arguments, {});
  for (const char* part : GetParam().parts) {
    EXPECT_NE(text.find(part), std::string::npos) << "missing \"" << part << "\" in:\n" << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    GameSections, FormatPlanSources,
    ::testing::Values(
        SourceCase{"-beta",
                   {"  keydelay=60 (game)\n", "  exithold=100 (file)\n", "  follow=on (default)\n",
                    "misc:              A down, A up (game)\n",
                    "misc delay:        1500 ms after the enter sequence\n",
                    "game section:      {game beta} of line 32: keydelay=60, {misc} of 2 steps\n"}},
        SourceCase{"-alpha",
                   {"  keydelay=20 (file)\n", "misc:              Shift down, Shift up\n",
                    "game sections:     \"beta\" (line 32); none for this rom\n"}},
        SourceCase{"", {"game sections:     \"beta\" (line 32)\n"}}),
    testing::NamedBy([](const SourceCase& c) { return std::string(c.arguments); }));

TEST(FormatErrorTest, ShowsTheWrappersMessageLineByLine) {
  CheckPlan plan = Check("{handles}\r\n", "-x");
  const std::string text = FormatError(plan);
  EXPECT_NE(text.find("error: ruskel.exe would refuse this file"), std::string::npos);
  EXPECT_NE(text.find("\n  lconfig.ini: the file ended after line 1"), std::string::npos) << text;
  EXPECT_NE(text.find("\n\n  File: D:\\cab\\lconfig.ini\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace ruskel::check
