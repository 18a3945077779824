#include "platform/argument_text.h"

#include <gtest/gtest.h>

namespace ruskel {
namespace {

TEST(CutProgramNameTest, LeavesExactlyTheTextAfterTheProgramName) {
  const std::pair<const char*, const char*> cases[] = {
      {"\"C:\\Front End\\ruskel.exe\" -mygame -keyx27", "-mygame -keyx27"},
      {"C:\\games\\ruskel.exe -mygame", "-mygame"},
      {"ruskel.exe    \t -mygame  ", "-mygame  "},
      {"\"C:\\a b\\ruskel.exe\"-mygame", "-mygame"},
      {"ruskel.exe", ""},
      {"ruskel.exe   ", ""},
      {"\"C:\\a b\\ruskel.exe\"", ""},
      {"\"unterminated -mygame", ""},
      {"", ""},
      {"ruskel.exe mygame", "mygame"},
  };
  for (auto [line, args] : cases) EXPECT_EQ(CutProgramName(line), args) << line;
}

}  // namespace
}  // namespace ruskel
