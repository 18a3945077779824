#include "core/config_loader.h"

#include <gtest/gtest.h>

#include <cctype>

#include "case_name.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;

std::string StepLines(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += "40/down\r\n";
  return out;
}

TEST(ParseConfigTest, FillsEveryPartFromTheExampleFile) {
  const std::string file =
      "free text before the first part\r\n{handles}\r\n  My Emulator  \r\nnull\r\n{/handles}\r\n"
      "\r\n{startup}\r\n13/down\r\n13/up\r\n{/startup}\r\nnotes between parts\r\n"
      "{selectsequence}\r\n40 / down\r\n40/up/ignored\r\n{/selectsequence}\r\n"
      "{entersequence}\r\n{/entersequence}\r\ntimer= 3000 \r\n{misc}\r\n32/down\r\n{/misc}\r\n"
      "{gamelist}\r\nfirstgame\r\nsecond game\r\n{/gamelist}\r\nexe=emulator.exe -fullscreen";
  RunState s;
  ASSERT_EQ(ParseConfig(file, s), std::nullopt);
  EXPECT_EQ(s.WindowTitle, "My Emulator");
  EXPECT_EQ(s.CloseMode, "null");
  EXPECT_EQ(s.StartupSeq[0].key, "13");
  EXPECT_EQ(s.StartupSeq[1].action, "up");
  EXPECT_EQ(s.StartupSeq[2].key, "{");
  EXPECT_EQ(s.StartupSeq[2].action, "startup}");
  EXPECT_EQ(s.StartupSeq[3].key, "");
  // Fields are stored untrimmed; only the line as a whole is trimmed.
  EXPECT_EQ(s.SelectSeq[0].key, "40 ");
  EXPECT_EQ(s.SelectSeq[0].action, " down");
  EXPECT_EQ(s.SelectSeq[1].action, "up");
  EXPECT_EQ(s.EnterSeq[0].key, "{");
  EXPECT_EQ(s.EnterSeq[0].action, "entersequence}");
  EXPECT_EQ(s.EnterSeq[1].key, "");
  EXPECT_EQ(s.MiscDelay, 3000);
  EXPECT_EQ(s.MiscSeq[1].action, "misc}");
  EXPECT_EQ(s.GameList[0], "firstgame");
  EXPECT_EQ(s.GameList[1], "second game");
  EXPECT_EQ(s.GameList[2], "{/gamelist}");
  EXPECT_EQ(s.GameList[3], "");
  EXPECT_EQ(s.EmulatorCommand, "emulator.exe -fullscreen");
}

// Every way of ending lines, alone or mixed in one file, reads as the same
// file: a block pasted from a web page or a Linux editor into a CR LF file
// must take effect, not be skipped as free text.
struct EndingsCase {
  const char* name;
  std::string (*convert)(const std::string& crLfFile);
};

std::string EveryEnd(const std::string& file, const std::string& eol) {
  std::string out;
  std::size_t at = 0;
  for (std::size_t next; (next = file.find("\r\n", at)) != std::string::npos; at = next + 2) {
    out += file.substr(at, next - at) + eol;
  }
  return out + file.substr(at);
}

// The lines from the one starting with `from` up to the one starting with
// `to` end in `eol` instead of CR LF.
std::string Between(const std::string& file, const std::string& from, const std::string& to,
                    const std::string& eol) {
  const std::size_t begin = file.find(from);
  const std::size_t end = file.find("\r\n", file.find(to, begin)) + 2;
  return file.substr(0, begin) + EveryEnd(file.substr(begin, end - begin), eol) + file.substr(end);
}

class LineEndingsTest : public ::testing::TestWithParam<EndingsCase> {};

TEST_P(LineEndingsTest, ReadAsTheSameFile) {
  ConfigText config;
  config.options = {"log=ruskel.log", "keydelay=60"};
  config.tail = {"{game gamma}", "exithold=500", "{/game}"};
  const std::string crLf = config.Build();
  const std::string file = GetParam().convert(crLf);
  ASSERT_NE(file, crLf);

  RunState s;
  ASSERT_EQ(ParseConfig(file, s), std::nullopt);
  EXPECT_EQ(s.WindowTitle, "My Emulator");
  EXPECT_EQ(s.CloseMode, "title");
  EXPECT_EQ(s.SelectSeq[1].key, "40");
  EXPECT_EQ(s.SelectSeq[1].action, "up");
  EXPECT_EQ(s.SelectSeq[2].action, "selectsequence}");
  EXPECT_EQ(s.GameList[1], "beta");
  EXPECT_EQ(s.GameList[2], "gamma");
  EXPECT_EQ(s.GameList[3], "{/gamelist}");
  EXPECT_EQ(s.EmulatorCommand, "emulator.exe");
  EXPECT_EQ(s.Options.log, "ruskel.log");
  EXPECT_EQ(s.Options.keydelay, 60);
  ASSERT_EQ(s.GameSections.size(), 1u);
  EXPECT_EQ(s.GameSections[0].line, 30);
  EXPECT_EQ(s.GameSections[0].options.exithold, 500);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LineEndingsTest,
    ::testing::Values(EndingsCase{"all LF", [](const std::string& f) { return EveryEnd(f, "\n"); }},
                      EndingsCase{"all CR", [](const std::string& f) { return EveryEnd(f, "\r"); }},
                      EndingsCase{"options block in LF",
                                  [](const std::string& f) {
                                    return Between(f, "{options}", "{/options}", "\n");
                                  }},
                      EndingsCase{"game list in LF",
                                  [](const std::string& f) {
                                    return Between(f, "{gamelist}", "exe=", "\n");
                                  }},
                      EndingsCase{"handles in CR, sequences in LF",
                                  [](const std::string& f) {
                                    return Between(Between(f, "{handles}", "{/handles}", "\r"),
                                                   "{startup}", "{/entersequence}", "\n");
                                  }},
                      EndingsCase{"no ending after the last line",
                                  [](const std::string& f) { return f.substr(0, f.size() - 2); }}),
    testing::NamedBy([](const EndingsCase& c) { return std::string(c.name); }));

TEST(ParseConfigTest, ValuesKeepWhatTheFileSays) {
  ConfigText config;
  config.handles = {"Only Title"};
  config.exe = "exe = emulator.exe=extra";
  config.timer = "timer=2.5";
  config.games = {"alpha", "", "gamma"};
  RunState s;
  ASSERT_EQ(ParseConfig(config.Build(), s), std::nullopt);
  EXPECT_EQ(s.CloseMode, "");
  EXPECT_EQ(s.EmulatorCommand, " emulator.exe");  // blank kept, text after a second = lost
  EXPECT_EQ(s.MiscDelay, 2);                      // halves to even
  EXPECT_EQ(s.GameList[1], "");
  EXPECT_EQ(s.GameList[3], "{/gamelist}");
}

TEST(ParseConfigTest, TimerAndExeLinesAreFoundByTheirFirstCharactersOnly) {
  ConfigText config;
  config.timer = "timerX=500";
  config.exe = "exec=emulator.exe -x";
  RunState s;
  ASSERT_EQ(ParseConfig(config.Build(), s), std::nullopt);
  EXPECT_EQ(s.MiscDelay, 500);
  EXPECT_EQ(s.EmulatorCommand, "emulator.exe -x");
}

TEST(ParseConfigTest, CapacitiesAreFullyUsable) {
  ConfigText config;
  config.startup.assign(20, "13/down");
  config.games = testing::GamesWith("last", 399, 400);
  RunState s;
  ASSERT_EQ(ParseConfig(config.Build(), s), std::nullopt);
  EXPECT_EQ(s.StartupSeq[19].key, "13");
  EXPECT_EQ(s.StartupSeq[20].key, "{");
  EXPECT_EQ(s.GameList[399], "last");
  EXPECT_EQ(s.GameList[400], "{/gamelist}");
}

TEST(ParseConfigTest, StepsWithOtherActionsMayHoldAnyKeyText) {
  ConfigText config;
  config.startup = {"hello/wait", "13/Down"};
  RunState s;
  EXPECT_EQ(ParseConfig(config.Build(), s), std::nullopt);
}

struct BrokenCase {
  const char* name;
  std::function<void(std::string&)> breakIt;
  std::vector<std::string> messageParts;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class BrokenConfigTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenConfigTest, FailsWithAMessageNamingTheLine) {
  const BrokenCase& c = GetParam();
  std::string file = ConfigText{}.Build();
  c.breakIt(file);
  RunState s;
  auto error = ParseConfig(file, s);
  ASSERT_TRUE(error.has_value()) << c.name;
  for (const std::string& part : c.messageParts) {
    EXPECT_NE(error->find(part), std::string::npos) << c.name << ": " << *error;
  }
}

// The default file's lines: 1 {handles} 2 title 3 close 4 {/handles} 5 {startup} 6 13/down
// 7 13/up 8 {/startup} 9 {selectsequence} 10 40/down 11 40/up 12 {/selectsequence}
// 13 {entersequence} 14 13/down 15 13/up 16 {/entersequence} 17 timer=0 18 {misc} 19 {/misc}
// 20 {gamelist} 21-23 games 24 {/gamelist} 25 exe=emulator.exe
INSTANTIATE_TEST_SUITE_P(
    Failures, BrokenConfigTest,
    ::testing::Values(
        BrokenCase{"empty file",
                   [](std::string& f) { f.clear(); },
                   {"lconfig.ini: the file is empty", "{handles}"}},
        BrokenCase{"no handles tag",
                   [](std::string& f) { f = Replace(f, "{handles}", "{Handles}"); },
                   {"without the line {handles}", "Line 1 reads \"{Handles}\""}},
        BrokenCase{"third handle line",
                   [](std::string& f) { f = Replace(f, "title\r\n", "title\r\nextra\r\n"); },
                   {"lconfig.ini line 4:", "at most 2 lines", "\"extra\""}},
        BrokenCase{"step without slash",
                   [](std::string& f) { f = Replace(f, "13/down", "13"); },
                   {"lconfig.ini line 6: expected a step such as 13/down inside {startup}, "
                    "found \"13\""}},
        BrokenCase{"blank line inside a sequence",
                   [](std::string& f) { f = Replace(f, "40/up\r\n", "40/up\r\n\r\n"); },
                   {"lconfig.ini line 12:", "{selectsequence}", "found \"\""}},
        BrokenCase{"21 steps",
                   [](std::string& f) {
                     f = Replace(f, "{startup}\r\n", "{startup}\r\n" + StepLines(19));
                   },
                   {"lconfig.ini line 27:", "at most 20 steps"}},
        BrokenCase{"bad key in a down step",
                   [](std::string& f) { f = Replace(f, "40/down", "forty/down"); },
                   {"lconfig.ini line 10:", "\"forty\"", "0 to 255"}},
        BrokenCase{"key above 255",
                   [](std::string& f) { f = Replace(f, "13/up", "256/up"); },
                   {"lconfig.ini line 7:", "\"256\""}},
        BrokenCase{"closing tag in the wrong case",
                   [](std::string& f) { f = Replace(f, "{/misc}", "{/Misc}"); },
                   {"lconfig.ini line 20:", "inside {misc}", "reads \"{/Misc}\""}},
        BrokenCase{"capital Timer",
                   [](std::string& f) { f = Replace(f, "timer=0", "Timer=500"); },
                   {"starting with \"timer\"", "Line 17 reads \"Timer=500\""}},
        BrokenCase{"timer without =",
                   [](std::string& f) { f = Replace(f, "timer=0", "timer 500"); },
                   {"lconfig.ini line 17: expected the misc delay such as timer=3000"}},
        BrokenCase{"timer not a number",
                   [](std::string& f) { f = Replace(f, "timer=0", "timer=soon"); },
                   {"lconfig.ini line 17:", "\"soon\" is not a number"}},
        BrokenCase{"empty timer",
                   [](std::string& f) { f = Replace(f, "timer=0", "timer="); },
                   {"lconfig.ini line 17:", "\"\" is not a number"}},
        BrokenCase{"timer beyond 32 bits",
                   [](std::string& f) { f = Replace(f, "timer=0", "timer=99999999999"); },
                   {"lconfig.ini line 17:", "not a number of milliseconds"}},
        BrokenCase{"timer beyond a timer's range",
                   [](std::string& f) { f = Replace(f, "timer=0", "timer=65536"); },
                   {"lconfig.ini line 17:", "65536 is outside 0 to 65535"}},
        BrokenCase{"negative timer",
                   [](std::string& f) { f = Replace(f, "timer=0", "timer=-1"); },
                   {"lconfig.ini line 17:", "-1 is outside"}},
        BrokenCase{"no exe line",
                   [](std::string& f) { f = Replace(f, "exe=emulator.exe", "emulator=x"); },
                   {"the file ended after line 25", "\"exe\""}},
        BrokenCase{"exe without =",
                   [](std::string& f) { f = Replace(f, "exe=emulator.exe", "exe emulator.exe"); },
                   {"lconfig.ini line 25: expected the emulator command"}},
        BrokenCase{"no game list",
                   [](std::string& f) {
                     f.erase(f.find("{gamelist}"), f.find("exe=") - f.find("{gamelist}"));
                   },
                   {"without the line {gamelist}"}},
        BrokenCase{"game list not closed",
                   [](std::string& f) { f = f.substr(0, f.find("{/gamelist}")); },
                   {"ended after line 23", "{/gamelist}"}}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

TEST(BrokenConfigTest, AGameListBeyond400NamesFailsAtItsClosingLine) {
  ConfigText config;
  config.games = testing::GamesWith("x", 0, 401);
  RunState s;
  auto error = ParseConfig(config.Build(), s);
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("line 422:"), std::string::npos) << *error;
  EXPECT_NE(error->find("at most 400 games"), std::string::npos) << *error;
}

}  // namespace
}  // namespace ruskel
