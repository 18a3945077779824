#include "tools/check/check_plan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "case_name.h"
#include "plan_for.h"
#include "run_harness.h"

namespace ruskel::check {
namespace {

using testing::ConfigText;

constexpr const char* kProgramDir = "C:\\Games\\ruskel";

CheckPlan Check(const std::string& file, const std::string& arguments) {
  return PlanFor(file, arguments, "lconfig.ini", kProgramDir);
}

std::string DemoConfig() {
  std::ifstream in(RUSKEL_SOURCE_DIR "/demo/lconfig.ini", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// "13d 13u", as the unit tests of the wrapper write key events.
std::string Tokens(const std::vector<SentKey>& keys) {
  std::string out;
  for (const SentKey& key : keys) {
    if (!out.empty()) out += ' ';
    out += std::to_string(key.code);
    out += key.up ? 'u' : 'd';
  }
  return out;
}

TEST(BuildPlanTest, TheDemoFileSelectsMygameInSlot12) {
  CheckPlan plan = Check(DemoConfig(), "-mygame -keyx27 -butx4");
  ASSERT_EQ(plan.exitCode, kCheckFileFine) << plan.error;
  EXPECT_EQ(plan.start.commandLine,
            "\"C:\\Games\\ruskel\\demoemu.exe\" --splash 1500 --game-title");
  EXPECT_EQ(plan.start.workingDirectory, "C:\\Games\\ruskel\\");
  EXPECT_EQ(plan.state->WindowTitle, "Ruskel Demo Emulator");
  EXPECT_EQ(plan.state->ExitKey, 27);
  EXPECT_EQ(plan.state->ExitButton, 4);
  EXPECT_EQ(plan.miscInterval, 2000u);
  ASSERT_TRUE(plan.lookup);
  EXPECT_EQ(plan.lookup->slot, 12);
  EXPECT_EQ(Tokens(plan.lookup->keys), testing::Repeat("40d 40u", 12) + " 13d 13u");
  ASSERT_TRUE(plan.lookup->miscKeys);
  EXPECT_EQ(Tokens(*plan.lookup->miscKeys), "16d 16u");
  EXPECT_TRUE(plan.lookup->closeMessages.empty());
}

// The checker's account of a run must be the wrapper's own: the same keys in
// the same order as a simulated ruskel.exe types them.
struct RunCase {
  const char* name;
  std::function<void(ConfigText&)> edit;
  const char* arguments;
};

class AgreesWithTheWrapperTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(AgreesWithTheWrapperTest, TypesWhatASimulatedRunTypes) {
  ConfigText config;
  config.games = testing::GamesWith("mygame", 3, 6);
  GetParam().edit(config);

  testing::SimulatedRun run;
  run.WriteConfig(config);
  run.EmulatorWindowAppears();
  ASSERT_TRUE(run.Start(GetParam().arguments));
  const auto ended = run.RunFor(100);

  CheckPlan plan = Check(config.Build(), GetParam().arguments);
  ASSERT_EQ(plan.exitCode, kCheckFileFine) << plan.error;
  ASSERT_TRUE(plan.lookup);
  std::string checked = Tokens(plan.lookup->keys);
  if (plan.lookup->miscKeys && !plan.lookup->miscKeys->empty()) {
    checked += " " + Tokens(*plan.lookup->miscKeys);
  }
  EXPECT_EQ(checked, run.Keys());
  EXPECT_EQ(plan.lookup->slot, run.state->GameIndex);
  EXPECT_EQ(plan.lookup->slot == -1, ended == kExitRomNotListed);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, AgreesWithTheWrapperTest,
    ::testing::Values(RunCase{"listed", [](ConfigText&) {}, "-mygame"},
                      RunCase{"zip path", [](ConfigText&) {}, "C:\\roms\\MYGAME.ZIP -keyx27"},
                      RunCase{"top of the list",
                              [](ConfigText& c) {
                                c.games = {"mygame", "b"};
                              },
                              "mygame"},
                      RunCase{"not listed", [](ConfigText&) {}, "-othergame"},
                      RunCase{"misc after a delay",
                              [](ConfigText& c) {
                                c.timer = "timer=50";
                                c.misc = {"16/down", "16/up"};
                              },
                              "-mygame"},
                      RunCase{"steps that type nothing",
                              [](ConfigText& c) {
                                c.select = {"40/Down", "40 / down", "/x", "40/up"};
                              },
                              "-mygame"},
                      RunCase{"accented name in another case",
                              [](ConfigText& c) {
                                c.games = {"a", "Pok\xE9mon"};
                              },
                              "-POK\xC9MON"},
                      RunCase{"hidden by an empty line",
                              [](ConfigText& c) {
                                c.games = {"a", "", "mygame"};
                              },
                              "-mygame"}),
    [](const ::testing::TestParamInfo<RunCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == ' ') ch = '_';
      }
      return name;
    });

// A broken file gets the very message the wrapper would show.
class BrokenFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BrokenFileTest, ReportsTheWrappersOwnMessage) {
  const std::string file = GetParam();
  testing::SimulatedRun run;
  run.WriteConfig(file);
  ASSERT_FALSE(run.Start("-mygame"));
  const auto shown = run.os.TraceOf("ErrorBox: ");
  ASSERT_EQ(shown.size(), 1u);

  CheckPlan plan = Check(file, "-mygame");
  EXPECT_EQ(plan.exitCode, kCheckFileBroken);
  EXPECT_EQ("ErrorBox: " + plan.error, shown[0]);
  EXPECT_FALSE(plan.lookup);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenFileTest,
    ::testing::Values(
        "", "{handles}\r\ntitle\r\n", "{handles}\nt\nnull\n{/handles}\n",
        "{handles}\r\na\r\nb\r\nc\r\n{/handles}\r\n",
        "{handles}\r\n{/handles}\r\n{startup}\r\n13\r\n{/startup}\r\n",
        "{handles}\r\n{/handles}\r\n{startup}\r\n{/startup}\r\n{selectsequence}\r\n"
        "{/selectsequence}\r\n{entersequence}\r\n{/entersequence}\r\ntimer=70000\r\n"),
    testing::NamedBy([](const char* file) { return std::string(file); }));

TEST(BuildPlanTest, AFileThatCannotBeReadIsBroken) {
  CheckInput input;
  input.configFile = "/no/such/dir/lconfig.ini";
  input.programDir = "/no/such/dir";
  input.argumentText = "-mygame";
  CheckPlan plan = BuildPlan(input);
  EXPECT_EQ(plan.exitCode, kCheckFileBroken);
  EXPECT_EQ(plan.error.rfind("Cannot read the configuration file /no/such/dir\\lconfig.ini: ", 0),
            0u)
      << plan.error;
}

// A copy checked before it replaces the real file: every message names the
// copy, in the folder ruskel would run from, never lconfig.ini.
struct NamedFileCase {
  const char* name;
  bool readable;
  const char* file;
  const char* error;
};

class CheckedFileNameTest : public ::testing::TestWithParam<NamedFileCase> {};

TEST_P(CheckedFileNameTest, IsTheNameInTheMessage) {
  const NamedFileCase& c = GetParam();
  CheckInput input;
  input.configFile = "D:\\cab\\lconfig-new.ini";
  input.programDir = "D:\\cab";
  input.argumentText = "-mygame";
  input.reader = [&c](const std::string&) {
    FileReadResult result;
    result.ok = c.readable;
    result.bytes = c.file;
    result.error = "access denied";
    return result;
  };
  const CheckPlan plan = BuildPlan(input);
  EXPECT_EQ(plan.exitCode, kCheckFileBroken);
  EXPECT_EQ(plan.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CheckedFileNameTest,
    ::testing::Values(
        NamedFileCase{"end of file", true, "{handles}\r\ntitle\r\n",
                      "lconfig-new.ini: the file ended after line 2 without the closing line "
                      "{/handles} of {handles}.\n\nFile: D:\\cab\\lconfig-new.ini"},
        NamedFileCase{"a line", true, "{handles}\r\na\r\nb\r\nc\r\n",
                      "lconfig-new.ini line 4: {handles} holds at most 2 lines (the window title "
                      "and the close mode), found a third: \"c\".\n\nFile: "
                      "D:\\cab\\lconfig-new.ini"},
        NamedFileCase{"unreadable", false, "",
                      "Cannot read the configuration file D:\\cab\\lconfig-new.ini: access "
                      "denied"}),
    testing::NamedBy([](const NamedFileCase& c) { return std::string(c.name); }));

TEST(BuildPlanTest, WithoutArgumentsThePlanStopsBeforeTheLookup) {
  CheckPlan plan = Check(ConfigText{}.Build(), "");
  ASSERT_EQ(plan.exitCode, kCheckFileFine) << plan.error;
  EXPECT_FALSE(plan.romGiven);
  EXPECT_FALSE(plan.lookup);
  EXPECT_EQ(plan.start.commandLine, "\"C:\\Games\\ruskel\\emulator.exe\"");
  EXPECT_EQ(Tokens(plan.sequences[kSelect].sent), "40d 40u");
}

TEST(BuildPlanTest, AnUnlistedRomClosesTheEmulatorAfterTheStartupKeys) {
  CheckPlan plan = Check(ConfigText{}.Build(), "-nothere");
  ASSERT_TRUE(plan.lookup);
  EXPECT_EQ(plan.lookup->slot, -1);
  EXPECT_EQ(Tokens(plan.lookup->keys), "13d 13u");
  ASSERT_EQ(plan.lookup->closeMessages.size(), 1u);
  EXPECT_EQ(plan.lookup->closeMessages[0].window, PlanPlatform::kEmulatorWindow);
  EXPECT_EQ(plan.lookup->closeMessages[0].message, kWmQuit);
  EXPECT_EQ(plan.exitCode, kCheckFileFine);
}

TEST(BuildPlanTest, DescribesEachStepByWhatThePlayerTypesForIt) {
  ConfigText config;
  config.select = {"40/down", "40/Down", " 40 / up ", "/note", "13/down"};
  CheckPlan plan = Check(config.Build(), "");
  const SequencePlan& select = plan.sequences[kSelect];
  ASSERT_EQ(select.steps.size(), 5u);
  EXPECT_EQ(Tokens(select.steps[0].sent), "40d");
  EXPECT_EQ(Tokens(select.steps[1].sent), "");
  EXPECT_EQ(Tokens(select.steps[2].sent), "40u");
  EXPECT_TRUE(select.steps[3].endsSequence);
  EXPECT_EQ(Tokens(select.sent), "40d 40u");  // the player stops at the step without a key
  EXPECT_FALSE(select.full);
}

TEST(BuildPlanTest, ASequenceOfTwentyStepsIsFull) {
  ConfigText config;
  config.enter = std::vector<std::string>(20, "13/down");
  CheckPlan plan = Check(config.Build(), "");
  EXPECT_TRUE(plan.sequences[kEnter].full);
  EXPECT_EQ(plan.sequences[kEnter].steps.size(), 20u);
  EXPECT_FALSE(plan.sequences[kStartup].full);
}

struct DirCase {
  const char* path;
  const char* dir;
};

class ProgramDirOfTest : public ::testing::TestWithParam<DirCase> {};

TEST_P(ProgramDirOfTest, IsTheFolderWithoutATrailingSeparator) {
  EXPECT_EQ(ProgramDirOf(GetParam().path), GetParam().dir);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramDirOfTest,
    ::testing::Values(DirCase{"demo/lconfig.ini", "demo"}, DirCase{"lconfig.ini", "."},
                      DirCase{"a/b/other.ini", "a/b"},
                      DirCase{"C:\\Games\\ruskel\\lconfig.ini", "C:\\Games\\ruskel"},
                      DirCase{"/lconfig.ini", "/"}),
    testing::NamedBy([](const DirCase& c) { return std::string(c.path); }));

}  // namespace
}  // namespace ruskel::check
