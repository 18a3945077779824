#include "core/command_line.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace ruskel {
namespace {

struct ArgsCase {
  const char* text;
  const char* rom;
  int exitKey;               // 0: none
  std::uint32_t exitButton;  // 0: none
};

class ParseArgsTest : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(ParseArgsTest, YieldsRomExitKeyAndButton) {
  const ArgsCase& c = GetParam();
  RunState state;
  ParseArgs(state, c.text);
  EXPECT_EQ(state.RomName, c.rom) << c.text;
  EXPECT_EQ(state.ExitKey.value_or(0), c.exitKey) << c.text;
  EXPECT_EQ(state.ExitButton.value_or(0), c.exitButton) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseArgsTest,
    ::testing::Values(
        ArgsCase{"-mygame -keyx27 -butx4", "mygame", 27, 4}, ArgsCase{"mygame", "mygame", 27, 0},
        ArgsCase{"/mygame /KeyX 65", "mygame", 65, 0},
        ArgsCase{"-keyx65 -butx8 -mygame", "mygame", 65, 8},
        ArgsCase{"C:\\roms\\mygame.zip", "mygame.zip", 27, 0},
        ArgsCase{"-C:\\roms\\ mygame.zip ", "mygame.zip", 27, 0},
        ArgsCase{"alpha-two", "two", 27, 0}, ArgsCase{"-mygame -keyx27 -", "", 27, 0},
        ArgsCase{"-mygame -butx0", "mygame", 27, 0}, ArgsCase{"-mygame -butxabc", "mygame", 27, 0},
        ArgsCase{"-mygame -keyxabc", "mygame", 0, 0}, ArgsCase{"-mygame -keyx", "mygame", 27, 0},
        ArgsCase{"-mygame -KEYX 13 -keyx 32", "mygame", 32, 0},
        ArgsCase{"-first -second", "second", 27, 0}, ArgsCase{"-mygame -butx 3", "mygame", 27, 3},
        ArgsCase{"-mygame -butx2.5", "mygame", 27, 2},
        ArgsCase{"-mygame -butx-1", "1", 27, 0},  // the dash splits: "1" is a rom piece
        ArgsCase{"-mygame -keyx27.5", "mygame", 28, 0}, ArgsCase{"-key", "key", 27, 0},
        ArgsCase{"-mygame -keys", "keys", 27, 0},
        // Values that would end the run at its first check, or name no key,
        // give no button or key.
        ArgsCase{"-mygame -butx0.4", "mygame", 27, 0},
        ArgsCase{"-mygame -butx99999999999", "mygame", 27, 0},
        ArgsCase{"-mygame -keyx99999999999", "mygame", 0, 0},
        ArgsCase{"-mygame -keyx2147483647", "mygame", 0, 0},
        ArgsCase{"-mygame -keyx300", "mygame", 0, 0}, ArgsCase{"-mygame -keyx0", "mygame", 0, 0},
        ArgsCase{"-mygame -keyx255", "mygame", 255, 0},
        ArgsCase{"-mygame -keyx0.6", "mygame", 1, 0},
        ArgsCase{"-mygame -butx192", "mygame", 27, 192},
        ArgsCase{"-mygame -butx2147483647", "mygame", 27, 2147483647},
        // An empty piece in the middle is an unmarked piece: it empties the rom.
        ArgsCase{"-mygame --keyx27", "", 27, 0}, ArgsCase{"-mygame -keyx65 --butx4", "", 65, 4},
        // The last BUTX wins, even when it gives no button.
        ArgsCase{"-mygame -butx4 -butx", "mygame", 27, 0},
        ArgsCase{"-mygame -butx -butx4", "mygame", 27, 4}),
    testing::NamedBy([](const ArgsCase& c) { return std::string(c.text); }));

TEST(ParseArgsTest, KeepsTheMarkerTextsForLaterReports) {
  RunState state;
  ParseArgs(state, "-mygame -keyx 65  -butx abc");
  EXPECT_EQ(state.ExitKeyText, "65");
  EXPECT_EQ(state.ExitButtonText, "abc");
}

}  // namespace
}  // namespace ruskel
