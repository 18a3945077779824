#include "tools/check/check_command.h"

#include <gtest/gtest.h>

namespace ruskel::check {
namespace {

using Args = std::vector<std::string>;
using Kind = CheckCommand::Kind;

TEST(ReadCheckCommandTest, WithoutARawCommandLineJoinsTheArgumentsWithSingleBlanks) {
  const CheckCommand command = ReadCheckCommand({"lconfig.ini", "-mygame", "-keyx27"}, {});
  EXPECT_EQ(command.kind, Kind::Check);
  EXPECT_EQ(command.configFile, "lconfig.ini");
  EXPECT_EQ(command.argumentText, "-mygame -keyx27");
  EXPECT_EQ(ReadCheckCommand({"lconfig.ini"}, {}).argumentText, "");
}

// What ruskel.exe would read as its argument text, taken from the raw line.
TEST(ReadCheckCommandTest, TheRawCommandLineGivesTheTextAfterTheFileUnchanged) {
  const std::pair<const char*, const char*> cases[] = {
      {"ruskel-check.exe lconfig.ini -mygame  -keyx27", "-mygame  -keyx27"},
      {"\"C:\\Tools\\ruskel-check.exe\" \"C:\\Front End\\lconfig.ini\" \"-C:\\roms\\my game.zip\" "
       " -keyx27 ",
       "\"-C:\\roms\\my game.zip\"  -keyx27 "},
      {"ruskel-check lconfig.ini\t-mygame", "-mygame"},
      {"ruskel-check \"C:\\a b\\lconfig.ini\"-mygame", "-mygame"},
      {"ruskel-check lconfig.ini", ""},
      {"ruskel-check lconfig.ini    ", ""},
  };
  for (auto [line, text] : cases) {
    // argv as the C runtime splits the line; only the first entry matters.
    const CheckCommand command = ReadCheckCommand({"lconfig.ini", "ignored"}, line);
    EXPECT_EQ(command.kind, Kind::Check) << line;
    EXPECT_EQ(command.argumentText, text) << line;
  }
}

TEST(ReadCheckCommandTest, ArgsTakesTheTextAsOneArgumentOnAnySystem) {
  const char* text = " \"-C:\\roms\\my  game.zip\"   -keyx27 ";
  for (std::optional<std::string_view> raw :
       {std::optional<std::string_view>{}, std::optional<std::string_view>{"x y --args z"}}) {
    const CheckCommand command = ReadCheckCommand({"cab/lconfig.ini", "--args", text}, raw);
    EXPECT_EQ(command.kind, Kind::Check);
    EXPECT_EQ(command.configFile, "cab/lconfig.ini");
    EXPECT_EQ(command.argumentText, text);
  }
  EXPECT_EQ(ReadCheckCommand({"lconfig.ini", "--args", ""}, {}).argumentText, "");
}

TEST(ReadCheckCommandTest, UsageAndHelp) {
  EXPECT_EQ(ReadCheckCommand({}, {}).kind, Kind::Usage);
  EXPECT_EQ(ReadCheckCommand({"lconfig.ini", "--args"}, {}).kind, Kind::Usage);
  EXPECT_EQ(ReadCheckCommand({"lconfig.ini", "--args", "-a", "-b"}, {}).kind, Kind::Usage);
  EXPECT_EQ(ReadCheckCommand({"--help"}, {}).kind, Kind::Help);
  EXPECT_EQ(ReadCheckCommand({"-h", "x"}, "ruskel-check -h x").kind, Kind::Help);
  EXPECT_EQ(ReadCheckCommand({"--options"}, {}).kind, Kind::Options);
  EXPECT_EQ(ReadCheckCommand({"--options", "x"}, {}).kind, Kind::Usage);
}

// The file and arguments after --system are read as a check reads them.
TEST(ReadCheckCommandTest, SystemAndWatchPads) {
  CheckCommand command =
      ReadCheckCommand({"--system", "C:\\a b\\lconfig.ini", "x"},
                       "ruskel-check --system \"C:\\a b\\lconfig.ini\" -mygame  -butx4");
  EXPECT_EQ(command.kind, Kind::System);
  EXPECT_EQ(command.configFile, "C:\\a b\\lconfig.ini");
  EXPECT_EQ(command.argumentText, "-mygame  -butx4");
  command = ReadCheckCommand({"--system"}, "ruskel-check --system");
  EXPECT_EQ(command.kind, Kind::System);
  EXPECT_EQ(command.configFile, "");
  EXPECT_EQ(ReadCheckCommand({"--system", "f", "--args"}, {}).kind, Kind::Usage);
  EXPECT_EQ(ReadCheckCommand({"--watch-pads"}, {}).kind, Kind::WatchPads);
  EXPECT_EQ(ReadCheckCommand({"--watch-pads", "x"}, {}).kind, Kind::Usage);
}

// --windows reads what follows as --system does.
TEST(ReadCheckCommandTest, Windows) {
  CheckCommand command = ReadCheckCommand({"--windows", "lconfig.ini", "x"},
                                          "ruskel-check --windows lconfig.ini -mygame");
  EXPECT_EQ(command.kind, Kind::Windows);
  EXPECT_EQ(command.configFile, "lconfig.ini");
  EXPECT_EQ(command.argumentText, "-mygame");
  command = ReadCheckCommand({"--windows"}, {});
  EXPECT_EQ(command.kind, Kind::Windows);
  EXPECT_EQ(command.configFile, "");
}

// --pixel takes its point first, then what --windows takes.
TEST(ReadCheckCommandTest, Pixel) {
  CheckCommand command =
      ReadCheckCommand({"--pixel", "615,23", "C:\\a b\\lconfig.ini", "x"},
                       "ruskel-check --pixel 615,23 \"C:\\a b\\lconfig.ini\" -mygame  -keyx27");
  EXPECT_EQ(command.kind, Kind::Pixel);
  EXPECT_EQ(command.point, "615,23");
  EXPECT_EQ(command.configFile, "C:\\a b\\lconfig.ini");
  EXPECT_EQ(command.argumentText, "-mygame  -keyx27");
  command = ReadCheckCommand({"--pixel", "1,2"}, "ruskel-check --pixel 1,2");
  EXPECT_EQ(command.kind, Kind::Pixel);
  EXPECT_EQ(command.point, "1,2");
  EXPECT_EQ(command.configFile, "");
  EXPECT_EQ(ReadCheckCommand({"--pixel"}, {}).kind, Kind::Usage);
  EXPECT_EQ(ReadCheckCommand({"--pixel", "1,2", "f", "--args"}, {}).kind, Kind::Usage);
}

}  // namespace
}  // namespace ruskel::check
