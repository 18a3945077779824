// Finding the emulator's program only under ProgramDir, and the quoted rom.
#include "core/emulator_path.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "core/command_line.h"

namespace ruskel {
namespace {

constexpr const char* kDir = "D:\\my emu dir";

struct PathCase {
  const char* name;
  const char* command;
  std::set<std::string> files;  // under kDir
  const char* program;          // empty: not found
  const char* commandLine;
};

class EmulatorPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(EmulatorPathTest, FindsTheProgramOnlyInTheFolder) {
  const PathCase& c = GetParam();
  std::vector<std::string> asked;
  const auto lookup = FindEmulatorProgram(kDir, c.command, [&](const std::string& path) {
    asked.push_back(path);
    // Every path asked about lies in the folder.
    EXPECT_EQ(path.rfind(std::string(kDir) + "\\", 0), 0u) << path;
    return c.files.count(path.substr(std::string(kDir).size() + 1)) != 0;
  });
  EXPECT_EQ(lookup.tried, asked);
  if (*c.program == '\0') {
    EXPECT_FALSE(lookup.found.has_value());
    return;
  }
  ASSERT_TRUE(lookup.found.has_value());
  EXPECT_EQ(lookup.found->path, std::string(kDir) + "\\" + c.program);
  EXPECT_EQ(lookup.found->commandLine, c.commandLine);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EmulatorPathTest,
    ::testing::Values(
        PathCase{"PlainProgram", "emu.exe", {"emu.exe"}, "emu.exe", "\"D:\\my emu dir\\emu.exe\""},
        PathCase{"ArgumentsPassUnchanged",
                 "emu.exe  -x \"a b\"",
                 {"emu.exe"},
                 "emu.exe",
                 "\"D:\\my emu dir\\emu.exe\"  -x \"a b\""},
        PathCase{"ExeAddedWithoutExtension",
                 "emu -fullscreen",
                 {"emu.exe"},
                 "emu.exe",
                 "\"D:\\my emu dir\\emu.exe\" -fullscreen"},
        // The shortest name that is a file wins, as CreateProcess has it.
        PathCase{"BlanksInTheProgramsOwnName",
                 "My Emu\\emu.exe -x",
                 {"My Emu\\emu.exe"},
                 "My Emu\\emu.exe",
                 "\"D:\\my emu dir\\My Emu\\emu.exe\" -x"},
        PathCase{"ShortestPrefixFirst",
                 "my emu.exe",
                 {"my.exe", "my emu.exe"},
                 "my.exe",
                 "\"D:\\my emu dir\\my.exe\" emu.exe"},
        PathCase{"QuotedProgram",
                 "\"my emu.exe\" -x",
                 {"my.exe", "my emu.exe"},
                 "my emu.exe",
                 "\"D:\\my emu dir\\my emu.exe\" -x"},
        PathCase{"SubfolderAndParentFolder",
                 "..\\mame\\mame64.exe",
                 {"..\\mame\\mame64.exe"},
                 "..\\mame\\mame64.exe",
                 "\"D:\\my emu dir\\..\\mame\\mame64.exe\""},
        PathCase{"NotThere", "emu.exe -x", {}, "", ""},
        PathCase{"FolderNameIsNoProgram", "emu.exe", {"emu.exe.exe"}, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EmulatorPathTest, NamesEveryPathTried) {
  const auto lookup = FindEmulatorProgram(kDir, "a b c", [](const std::string&) { return false; });
  EXPECT_THAT(lookup.tried,
              ::testing::ElementsAre("D:\\my emu dir\\a.exe", "D:\\my emu dir\\a b.exe",
                                     "D:\\my emu dir\\a b c.exe"));
}

struct QuotedRomCase {
  const char* name;
  const char* text;
  const char* rom;
};

class QuotedRomTest : public ::testing::TestWithParam<QuotedRomCase> {};

TEST_P(QuotedRomTest, QuotesAreRemovedBeforeTheLookup) {
  RunState state;
  ParseArgs(state, GetParam().text);
  EXPECT_EQ(state.RomName, GetParam().rom);
}

INSTANTIATE_TEST_SUITE_P(
    Roms, QuotedRomTest,
    ::testing::Values(QuotedRomCase{"WholePath", "\"C:\\roms\\mygame.zip\" -keyx27", "mygame.zip"},
                      QuotedRomCase{"WithDash", "-\"C:\\roms\\mygame.zip\"", "mygame.zip"},
                      QuotedRomCase{"BlanksInFolder", "\"C:\\my roms\\mygame.zip\"", "mygame.zip"},
                      QuotedRomCase{"QuotedPiece", "C:\\roms\\\"mygame\".zip", "mygame.zip"},
                      QuotedRomCase{"OnlyQuotes", "\"\"", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ruskel
