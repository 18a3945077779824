// Which rule takes each of the emulator's windows, in the words the log and
// ruskel-check --windows use.
#include "core/window_survey.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_harness.h"

namespace ruskel {
namespace {

using testing::SimulatedRun;

struct VerdictCase {
  const char* name;
  MatchRule match;
  const char* title;                                         // the title line
  const char* windowclass;                                   // windowclass=
  std::vector<std::pair<std::string, std::string>> windows;  // title, class, front first
  std::vector<std::string> words;                            // TakenByWords of each
};

class TakenByTest : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(TakenByTest, NamesTheRulesThatTakeEachWindow) {
  const VerdictCase& c = GetParam();
  SimulatedRun run;
  run.state->WindowTitle = c.title;
  run.state->Options.match = c.match;
  run.state->Options.windowclass = c.windowclass;
  std::vector<ShownWindow> windows;
  for (const auto& [title, className] : c.windows) {
    windows.push_back({0, SimulatedRun::kEmulatorProcess, title, className, {}});
  }
  std::vector<std::string> words;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    words.push_back(TakenByWords(run.m, windows, i));
    const bool taken =
        words.back().find("would") == std::string::npos && words.back().rfind("no ", 0) != 0;
    EXPECT_EQ(FileRuleTakes(run.m, windows, i), taken) << words.back();
  }
  EXPECT_EQ(words, c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TakenByTest,
    ::testing::Values(VerdictCase{"ABlankOffOnlyOwnFits",
                                  MatchRule::Title,
                                  "Wine Mine",
                                  "",
                                  {{"WineMine", "WineMineClass"}},
                                  {"match=own would take it"}},
                      VerdictCase{"TheTitleTakesItWhateverTheCase",
                                  MatchRule::Title,
                                  "winemine",
                                  "",
                                  {{"WineMine", "WineMineClass"}},
                                  {"match=title takes it"}},
                      VerdictCase{"ATitleWithTheGameFitsPrefixAndContains",
                                  MatchRule::Title,
                                  "MyEmu",
                                  "",
                                  {{"MyEmu - Galaxy Tennis", "SDL_app"}, {"Log", "SDL_app"}},
                                  {"match=prefix, match=contains or match=own would take it",
                                   "no match= rule takes it"}},
                      VerdictCase{"TheClassKeepsTheRuleFromTheWindow",
                                  MatchRule::Prefix,
                                  "MyEmu",
                                  "SDL_app",
                                  {{"MyEmu 1.2", "MyEmuFrame"}},
                                  {"match=prefix would take it without windowclass="}},
                      VerdictCase{"OwnWithAClassSkipsWindowsOfOtherClasses",
                                  MatchRule::Own,
                                  "anything",
                                  "sdl_APP",
                                  {{"Splash", "Static"}, {"", "SDL_app"}},
                                  {"match=own would take it without windowclass=",
                                   "match=own and windowclass= take it"}},
                      VerdictCase{"TitleNullTakesNoWindow",
                                  MatchRule::Title,
                                  "null",
                                  "",
                                  {{"null", "C"}},
                                  {"match=own would take it"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowSurveyTest, AskedForNamesTheRuleAndTheClass) {
  RunState s;
  s.WindowTitle = "Wine Mine";
  EXPECT_EQ(AskedForWords(s), "\"Wine Mine\"");
  s.Options.match = MatchRule::Contains;
  s.Options.windowclass = "SDL_app";
  EXPECT_EQ(AskedForWords(s), "\"Wine Mine\" (match=contains) with windowclass=SDL_app");
  s.Options.match = MatchRule::Own;
  EXPECT_EQ(AskedForWords(s), "any title (match=own) with windowclass=SDL_app");
}

TEST(WindowSurveyTest, TheNearestTitleIsByEditsIgnoringCase) {
  RunState s;
  s.WindowTitle = "Wine Mine";
  std::vector<ShownWindow> windows = {
      {0, 1, "Settings", "", {}}, {0, 1, "WINEMINE", "", {}}, {0, 1, "Wine", "", {}}};
  EXPECT_EQ(NearestTitle(s, windows), "WINEMINE");
  EXPECT_EQ(NearestTitle(s, {}), "");
}

// Only the visible windows of the emulator's processes are listed: not
// another program's, not a hidden one, not ruskel's own.
TEST(WindowSurveyTest, ListsTheVisibleWindowsOfTheEmulatorsTree) {
  SimulatedRun run;
  run.state->StartedProcess = SimulatedRun::kEmulatorProcess;
  run.os.AddProcess({SimulatedRun::kEmulatorProcess, FakePlatform::kRuskelProcess});
  run.os.AddProcess({201, SimulatedRun::kEmulatorProcess});  // started by the emulator
  run.os.AddProcess({300, 0});
  run.os.AddWindow({0x30,
                    SimulatedRun::kEmulatorProcess,
                    "Launcher",
                    0,
                    0,
                    FakePlatform::kNever,
                    "L",
                    {100, 50}});
  run.os.AddWindow({0x31, 201, "Game", 0, 0, FakePlatform::kNever, "G", {800, 600}});
  run.os.AddWindow({0x32, 201, "IME", 0, FakePlatform::kNever});
  run.os.AddWindow({0x33, 300, "Other", 0, 0});
  run.os.AddWindow({0x34, FakePlatform::kRuskelProcess, "ruskel", 0, 0});
  std::vector<std::string> seen;
  for (const ShownWindow& w : EmulatorWindows(run.m)) {
    seen.push_back(w.title + " " + w.className + " " + std::to_string(w.size.width) + "x" +
                   std::to_string(w.size.height) + " " + std::to_string(w.process));
  }
  EXPECT_THAT(seen, ::testing::ElementsAre("Launcher L 100x50 100", "Game G 800x600 201"));
}

}  // namespace
}  // namespace ruskel
