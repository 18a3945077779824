// The window rule: match= and windowclass= over titles, the emulator's own
// windows and windows left over by other programs; and the close finding a
// window the emulator has recreated.
#include "core/window_match.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/config_loader.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::ElementsAre;
using testing::SimulatedRun;

constexpr ProcessId kEmulator = SimulatedRun::kEmulatorProcess;
constexpr ProcessId kHelper = 200;  // started by the emulator
constexpr ProcessId kOtherProgram = 300;

// The default file with this title line and these options.
ConfigText WithRule(const char* titleLine, const std::vector<std::string>& options) {
  ConfigText config;
  config.handles = {titleLine, "title"};
  config.options = options;
  return config;
}

struct FitCase {
  const char* name;
  MatchRule rule;
  const char* title;
  const char* wanted;
  bool fits;
};

class TitleFitsTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(TitleFitsTest, ComparesAsTheRuleSaysInAnyCase) {
  const FitCase& c = GetParam();
  FakePlatform os;
  EXPECT_EQ(TitleFits(os, c.rule, c.title, os.UpperAnsi(c.wanted)), c.fits);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TitleFitsTest,
    ::testing::Values(
        FitCase{"TitleInAnyCase", MatchRule::Title, "My Emulator", "MY emulator", true},
        FitCase{"TitleNotLonger", MatchRule::Title, "My Emulator 1.2", "My Emulator", false},
        FitCase{"TitleNotShorter", MatchRule::Title, "My Emulato", "My Emulator", false},
        FitCase{"PrefixInAnyCase", MatchRule::Prefix, "My Emulator 1.2", "my emulator", true},
        FitCase{"PrefixLongerThanTheTitle", MatchRule::Prefix, "My Emu", "My Emulator", false},
        FitCase{"PrefixOnlyAtTheStart", MatchRule::Prefix, "The My Emulator", "My Emulator", false},
        FitCase{"ContainsInAnyCase", MatchRule::Contains, "Game: ALPHA (60 fps)", "alpha", true},
        FitCase{"ContainsNot", MatchRule::Contains, "Game: Beta", "alpha", false},
        // Windows-1252 letters have their capitals too.
        FitCase{"PrefixAccented", MatchRule::Prefix, "\xC9mulateur", "\xE9MU", true},
        FitCase{"OwnAnyTitle", MatchRule::Own, "", "My Emulator", true}),
    [](const auto& info) { return std::string(info.param.name); });

// The rule over one set of windows, in z-order: a leftover window of another
// program, the emulator's windows, and a helper's window.
struct ChooseCase {
  const char* name;
  const char* titleLine;
  std::vector<std::string> options;
  WindowHandle chosen;           // 0: none
  WindowHandle chosenOthersToo;  // once other programs' windows count
  std::size_t classReads;        // WindowClass calls of one lookup
};

class ChooseWindowTest : public ::testing::TestWithParam<ChooseCase> {};

TEST_P(ChooseWindowTest, TakesTheEmulatorsWindowTheRuleMatches) {
  const ChooseCase& c = GetParam();
  SimulatedRun run;
  ASSERT_EQ(ParseConfig(WithRule(c.titleLine, c.options).Build(), *run.state), std::nullopt);
  run.state->StartedProcess = kEmulator;
  FakePlatform& os = run.os;
  os.AddProcess({kEmulator, FakePlatform::kRuskelProcess});
  os.AddProcess({kHelper, kEmulator});
  os.AddProcess({kOtherProgram, 0});
  constexpr std::uint64_t kHidden = FakePlatform::kNever;  // as visibleAt
  constexpr std::uint64_t kOpen = FakePlatform::kNever;    // as closedAt
  os.AddWindow({0x61, kOtherProgram, "My Emulator", 0, 0, kOpen, "EmuMain"});
  os.AddWindow({0x62, kOtherProgram, "MyEmu Tools", 0, 0, kOpen, "EmuTools"});
  os.AddWindow({0x63, kEmulator, "Loader: My Emulator", 0, kHidden, kOpen, "EmuMain"});
  os.AddWindow({0x64, kEmulator, "My Emulator", 0, kHidden, kOpen, "EmuMain"});
  os.AddWindow({0x65, kEmulator, "MY EMULATOR 1.2 - alpha", 0, 0, kOpen, "SDL_app"});
  os.AddWindow({0x66, kHelper, "", 0, 0, kOpen, "EmuGame"});
  os.tracePolls = true;

  const auto chosen = ChooseEmulatorWindow(run.m, false);
  EXPECT_EQ(chosen ? chosen->handle : 0, c.chosen);
  EXPECT_EQ(os.TraceOf("WindowClass").size(), c.classReads);
  const auto chosenOthersToo = ChooseEmulatorWindow(run.m, true);
  EXPECT_EQ(chosenOthersToo ? chosenOthersToo->handle : 0, c.chosenOthersToo);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ChooseWindowTest,
    ::testing::Values(
        // The emulator's hidden window before another program's visible one.
        ChooseCase{"TitleWhole", "My Emulator", {}, 0x64, 0x64, 0},
        ChooseCase{"TitleOfAClassNoneHas", "My Emulator", {"windowclass=SDL_app"}, 0, 0, 1},
        ChooseCase{"PrefixVisibleFirst", "my emulator", {"match=prefix"}, 0x65, 0x65, 0},
        ChooseCase{"PrefixOfAClassInAnyCase",
                   "My Emulator",
                   {"match=prefix", "windowclass=emumain"},
                   0x64,
                   0x64,
                   2},
        // Only a leftover window fits: taken only once others count.
        ChooseCase{"PrefixOnlyALeftoverFits", "MyEmu", {"match=prefix"}, 0, 0x62, 0},
        ChooseCase{"ContainsVisibleFirst", "Emulator", {"match=contains"}, 0x65, 0x65, 0},
        ChooseCase{"ContainsOfAClassTheFirstHidden",
                   "Emulator",
                   {"match=contains", "windowclass=EmuMain"},
                   0x63,
                   0x63,
                   3},
        ChooseCase{"OwnTheFirstVisibleOfTheTree", "anything", {"match=own"}, 0x65, 0x65, 0},
        ChooseCase{"OwnOfAClassAHelpersWindow",
                   "anything",
                   {"match=own", "windowclass=EmuGame"},
                   0x66,
                   0x66,
                   2},
        // Hidden windows never count for own, and another program's never.
        ChooseCase{"OwnOfAClassOnlyHidden", "x", {"match=own", "windowclass=EmuMain"}, 0, 0, 2},
        ChooseCase{"OwnWithTheTitleNull", "null", {"match=own"}, 0x65, 0x65, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Whole runs: the wait finds the window by the rule, and the close finds the
// window the emulator opened in its place (a switch to full screen).
struct RecreatedCase {
  const char* name;
  const char* titleLine;
  std::vector<std::string> options;
  const char* firstTitle;
  const char* secondTitle;
};

class RecreatedWindowTest : public ::testing::TestWithParam<RecreatedCase> {};

TEST_P(RecreatedWindowTest, TheCloseFindsTheNewWindow) {
  const RecreatedCase& c = GetParam();
  SimulatedRun run;
  run.WriteConfig(WithRule(c.titleLine, c.options));
  run.os.AddWindow({0x2a, kEmulator, c.firstTitle, 300, 300, 1500});
  run.os.AddWindow({0x2b, kEmulator, c.secondTitle, 1600, 1600});
  ASSERT_TRUE(run.Start("-alpha"));
  run.os.PressKey(27, 3000, 3100);
  EXPECT_EQ(run.RunFor(5000), kExitNormal);
  EXPECT_EQ(run.Keys(), "13d 13u 13d 13u");
  EXPECT_EQ(testing::TimeOf(run.os, "BringToFront 0x2a"), 300u);
  EXPECT_THAT(run.os.TraceOf("PostMessage"), ElementsAre("PostMessage 0x2b 0x12 0 0"));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RecreatedWindowTest,
    ::testing::Values(
        RecreatedCase{"Prefix",
                      "My Emulator",
                      {"match=prefix"},
                      "My Emulator 1.2",
                      "My Emulator 1.2 - Alpha"},
        RecreatedCase{"OwnWithoutATitle", "null", {"match=own"}, "", ""},
        RecreatedCase{"OwnOfAClass", "x", {"match=own", "windowclass=EmulatorClass"}, "", "Alpha"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ruskel
