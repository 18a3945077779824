#include "tools/check/pitfalls.h"

#include <gtest/gtest.h>

#include "plan_for.h"
#include "run_harness.h"

namespace ruskel::check {
namespace {

using testing::ConfigText;

CheckPlan Check(const std::string& file, const std::string& arguments) {
  return PlanFor(file, arguments);
}

std::string Joined(const std::vector<std::string>& warnings) {
  std::string out;
  for (const std::string& warning : warnings) out += "warning: " + warning + "\n";
  return out;
}

struct PitfallCase {
  const char* name;
  std::function<void(ConfigText&)> edit;
  const char* arguments;
  std::size_t count;                  // warnings in all
  std::vector<std::string> expected;  // parts of the warnings, in order
};

class PitfallTest : public ::testing::TestWithParam<PitfallCase> {};

TEST_P(PitfallTest, WarnsInPlainWords) {
  const PitfallCase& c = GetParam();
  ConfigText config;
  c.edit(config);
  CheckPlan plan = Check(config.Build(), c.arguments);
  ASSERT_EQ(plan.exitCode, kCheckFileFine) << plan.error;
  const std::vector<std::string> warnings = FindPitfalls(plan);
  const std::string text = Joined(warnings);
  EXPECT_EQ(warnings.size(), c.count) << text;
  std::size_t from = 0;
  for (const std::string& part : c.expected) {
    const std::size_t at = text.find(part, from);
    EXPECT_NE(at, std::string::npos) << "expected \"" << part << "\" in:\n" << text;
    if (at != std::string::npos) from = at + part.size();
  }
}

std::vector<std::string> Numbered(std::size_t count) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) names.push_back("game" + std::to_string(i));
  return names;
}

// The default file: title "My Emulator", close mode "title", games alpha, beta, gamma.
INSTANTIATE_TEST_SUITE_P(
    Files, PitfallTest,
    ::testing::Values(
        PitfallCase{"clean", [](ConfigText&) {}, "-beta -keyx27 -butx4", 0, {}},
        PitfallCase{"clean without a rom", [](ConfigText&) {}, "", 0, {}},
        PitfallCase{"empty line in the game list",
                    [](ConfigText& c) {
                      c.games = {"alpha", "", "beta", "gamma"};
                    },
                    "-alpha",
                    1,
                    {"empty line at slot 1: the lookup stops there, so the 2 game(s)"}},
        PitfallCase{"empty last line hides nothing",
                    [](ConfigText& c) {
                      c.games = {"alpha", ""};
                    },
                    "-alpha",
                    0,
                    {}},
        PitfallCase{"name listed twice",
                    [](ConfigText& c) {
                      c.games = {"alpha", "beta", "ALPHA"};
                    },
                    "-alpha",
                    1,
                    {"\"ALPHA\" is listed in slots 0 and 2", "slot 0 wins"}},
        PitfallCase{"capital Timer line",
                    [](ConfigText& c) { c.timer = "Timer=500\r\ntimer=100"; },
                    "",
                    1,
                    {"line 17 \"Timer=500\" is not the misc delay line", "\"100\""}},
        PitfallCase{"TIMER line after the delay",
                    [](ConfigText& c) { c.timer = "timer=0\r\nTIMER = 5"; },
                    "",
                    1,
                    {"line 18 \"TIMER = 5\" is not the misc delay line"}},
        PitfallCase{"timer prose is no setting",
                    [](ConfigText& c) { c.timer = "Timer below, in ms\r\ntimer=0"; },
                    "",
                    0,
                    {}},
        PitfallCase{"Exe line",
                    [](ConfigText& c) { c.exe = "EXE=other.exe\r\nexe=emulator.exe"; },
                    "",
                    1,
                    {"\"EXE=other.exe\" is not the emulator command line"}},
        PitfallCase{"action in capitals and an unknown action",
                    [](ConfigText& c) {
                      c.select = {"40/Down", "40/press", "40/up"};
                    },
                    "",
                    2,
                    {"{selectsequence} step 1 \"40/Down\" types nothing", "(lower case)",
                     "step 2 \"40/press\" types nothing"}},
        PitfallCase{"step without a key",
                    [](ConfigText& c) {
                      c.startup = {"/x", "13/down", "13/up"};
                    },
                    "",
                    1,
                    {"{startup} step 1 \"/x\" has no key", "the 2 step(s) after it"}},
        PitfallCase{"twenty steps",
                    [](ConfigText& c) {
                      c.misc = std::vector<std::string>(10, "16/down");
                      for (int i = 0; i < 10; ++i) c.misc.push_back("16/up");
                      c.timer = "timer=10";
                    },
                    "",
                    1,
                    {"{misc} holds 20 steps"}},
        PitfallCase{"page as long as the list",
                    [](ConfigText& c) {
                      c.options = {"pagekey=34", "pagesize=3"};
                    },
                    "-gamma",
                    1,
                    {"pagesize=3 is not smaller than the game list (3 lines)"}},
        PitfallCase{"park point without park",
                    [](ConfigText& c) { c.options = {"cursorpark=0,0"}; },
                    "-gamma",
                    1,
                    {"cursorpark is set but cursor is not park"}},
        PitfallCase{"key left held",
                    [](ConfigText& c) { c.enter = {"13/down"}; },
                    "",
                    1,
                    {"{entersequence} presses Return (13) without releasing it"}},
        PitfallCase{"close mode null",
                    [](ConfigText& c) {
                      c.handles = {"My Emulator", "null"};
                    },
                    "",
                    1,
                    {"the close mode is \"null\": on exit the window in front gets the quit "
                     "message only when it belongs to the emulator"}},
        PitfallCase{"window title null",
                    [](ConfigText& c) { c.handles = {"null"}; },
                    "",
                    1,
                    {"the window title is \"null\""}},
        PitfallCase{"no window title",
                    [](ConfigText& c) { c.handles = {}; },
                    "",
                    1,
                    {"{handles} has no window title"}},
        PitfallCase{"match beside the title null",
                    [](ConfigText& c) {
                      c.handles = {"null"};
                      c.options = {"match=prefix"};
                    },
                    "",
                    2,
                    {"match and windowclass have no effect with the window title \"null\"",
                     "the window title is \"null\""}},
        PitfallCase{"match own reads no title, not even null",
                    [](ConfigText& c) {
                      c.handles = {"null"};
                      c.options = {"match=own"};
                    },
                    "",
                    0,
                    {}},
        // A wait title reads the title of the window the rule took.
        PitfallCase{"wait title the whole title never holds",
                    [](ConfigText& c) {
                      c.enter = {"13/down", "13/up", "wait title - {game}"};
                    },
                    "-beta",
                    1,
                    {"{entersequence} step 3 \"wait title - {game}\": the window is taken by its "
                     "whole title \"My Emulator\" (match=title), which does not hold \"- beta\"",
                     "use match=prefix"}},
        PitfallCase{"wait title without a rom: a piece beside {game} the title never holds",
                    [](ConfigText& c) { c.startup = {"wait title {game} running"}; },
                    "",
                    1,
                    {"which does not hold \"{game} running\""}},
        PitfallCase{"wait title held by the whole title, any case",
                    [](ConfigText& c) {
                      c.startup = {"wait title EMUL", "wait title my{game}"};
                    },
                    "",
                    0,
                    {}},
        PitfallCase{"wait title named by the rom inside the whole title",
                    [](ConfigText& c) {
                      c.handles = {"Beta Player", "title"};
                      c.enter = {"wait title {game} player"};
                    },
                    "-beta",
                    0,
                    {}},
        PitfallCase{"wait title under a prefix rule",
                    [](ConfigText& c) {
                      c.options = {"match=prefix"};
                      c.enter = {"wait title - {game}"};
                    },
                    "-beta",
                    0,
                    {}},
        PitfallCase{"window steps with the title null",
                    [](ConfigText& c) {
                      c.handles = {"null"};
                      c.startup = {"wait idle", "wait pixel 1,2 00FF00", "click 3,4", "wait 100"};
                    },
                    "",
                    3,
                    {"the window title is \"null\"",
                     "{startup} step 2 \"wait pixel 1,2 00FF00\" needs the emulator's window",
                     "never met and ends the run after waitlimit=15000 ms",
                     "{startup} step 3 \"click 3,4\" needs", "the click is skipped"}},
        PitfallCase{"contains with no window title",
                    [](ConfigText& c) {
                      c.handles = {};
                      c.options = {"match=contains"};
                    },
                    "",
                    1,
                    {"with match=contains every window's title fits"}},
        PitfallCase{
            "exe value with a leading blank",
            [](ConfigText& c) { c.exe = "exe = emulator.exe"; },
            "",
            1,
            {"\" emulator.exe\" begins with a blank", "\"C:\\Games\\ruskel\\ emulator.exe\""}},
        PitfallCase{"exe value cut at a second =",
                    [](ConfigText& c) { c.exe = "exe=emulator.exe -config=arcade.cfg"; },
                    "",
                    1,
                    {"\"emulator.exe -config\""}},
        PitfallCase{"misc keys never typed",
                    [](ConfigText& c) {
                      c.misc = {"16/down", "16/up"};
                    },
                    "",
                    1,
                    {"{misc} has keys but timer=0"}},
        PitfallCase{"a line feed pasted into a CR LF file",
                    [](ConfigText& c) { c.select = {"40/down\n40/up"}; },
                    "",
                    1,
                    {"line 10 ends with a line feed alone (LF), the others with CR LF: ruskel "
                     "reads them",
                     "save the file with Windows (CR LF) line endings"}},
        PitfallCase{"blocks pasted with line feeds",
                    [](ConfigText& c) {
                      c.select = {"40/down\n40/up"};
                      c.games = {"alpha\nbeta\ngamma"};
                    },
                    "",
                    1,
                    {"lines 10 and 21 to 22 end with a line feed alone"}},
        PitfallCase{"many lines with line feeds",
                    [](ConfigText& c) {
                      c.games = {"g0\ng1", "g2",      "g3\ng4", "g5",      "g6\ng7",
                                 "g8",     "g9\ng10", "g11",    "g12\ng13"};
                    },
                    "",
                    1,
                    {"lines 21, 24, 27, 30 and 1 more end with"}},
        PitfallCase{"a file all in line feeds",
                    [](ConfigText& c) { c.eol = "\n"; },
                    "",
                    1,
                    {"the file has Unix line endings (a line feed alone, LF): ruskel reads them"}},
        PitfallCase{
            "rom not listed",
            [](ConfigText& c) {
              c.games = {"mygame", "mygames", "other"};
            },
            "-mygam",
            1,
            {"\"mygam\" is not in the game list", "did you mean \"mygame\" or \"mygames\"?"}},
        PitfallCase{"rom with another extension",
                    [](ConfigText&) {},
                    "-beta.7z",
                    1,
                    {"only a trailing .zip is cut", "did you mean \"beta\"?"}},
        PitfallCase{"rom hidden by an empty line",
                    [](ConfigText& c) { c.games = {"alpha", "", "beta"}; },
                    "-beta",
                    2,
                    {"empty line at slot 1", "\"beta\" is listed in slot 2 but an empty line"}},
        PitfallCase{"no rom in the arguments",
                    [](ConfigText&) {},
                    "-keyx27",
                    1,
                    {"the arguments give no rom name"}},
        PitfallCase{
            "trailing dash", [](ConfigText&) {}, "-beta -", 1, {"the arguments give no rom name"}},
        PitfallCase{"exit key not a number",
                    [](ConfigText&) {},
                    "-beta -keyxabc",
                    2,
                    {"the exit key \"abc\" is no key code", "nothing ends the run"}},
        PitfallCase{"exit key beyond 255",
                    [](ConfigText&) {},
                    "-beta -keyx300 -butx4",
                    1,
                    {"the exit key \"300\" is no key code from 1 to 255: no key ends the run"}},
        PitfallCase{"Back and Start of an Xbox pad", [](ConfigText&) {}, "-beta -butx192", 0, {}},
        PitfallCase{"button mask 0",
                    [](ConfigText&) {},
                    "-beta -butx0",
                    1,
                    {"the exit button \"0\" is no button mask", "no button ends the run"}},
        PitfallCase{"button not a number and no key",
                    [](ConfigText&) {},
                    "-beta -keyx0 -butxstart",
                    3,
                    {"the exit key \"0\" is no key code",
                     "the exit button \"start\" is not a "
                     "number",
                     "nothing ends the run"}},
        PitfallCase{"full game list",
                    [](ConfigText& c) { c.games = Numbered(400); },
                    "-game399",
                    1,
                    {"{gamelist} holds 400 names"}}),
    [](const ::testing::TestParamInfo<PitfallCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

TEST(PitfallTest, ABrokenFileGetsNoWarnings) {
  CheckPlan plan = Check("{handles}\r\n", "-mygame");
  ASSERT_EQ(plan.exitCode, kCheckFileBroken);
  EXPECT_TRUE(FindPitfalls(plan).empty());
}

}  // namespace
}  // namespace ruskel::check
