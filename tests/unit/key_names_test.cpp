#include "core/key_names.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace ruskel {
namespace {

struct NameCase {
  std::int64_t code;
  const char* name;
};

class KeyNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(KeyNameTest, NamesTheKeyWindowsUsesThatCodeFor) {
  EXPECT_EQ(KeyName(GetParam().code), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KeyNameTest,
    ::testing::Values(NameCase{8, "Backspace"}, NameCase{9, "Tab"}, NameCase{13, "Return"},
                      NameCase{16, "Shift"}, NameCase{17, "Ctrl"}, NameCase{18, "Alt"},
                      NameCase{27, "Escape"}, NameCase{32, "Space"}, NameCase{33, "Page Up"},
                      NameCase{34, "Page Down"}, NameCase{35, "End"}, NameCase{36, "Home"},
                      NameCase{37, "Left"}, NameCase{38, "Up"}, NameCase{39, "Right"},
                      NameCase{40, "Down"}, NameCase{45, "Insert"}, NameCase{46, "Delete"},
                      NameCase{48, "0"}, NameCase{57, "9"}, NameCase{65, "A"}, NameCase{90, "Z"},
                      NameCase{96, "Numpad 0"}, NameCase{105, "Numpad 9"}, NameCase{112, "F1"},
                      NameCase{123, "F12"}, NameCase{135, "F24"}, NameCase{0, "VK 0x00"},
                      NameCase{7, "VK 0x07"}, NameCase{58, "VK 0x3A"}, NameCase{255, "VK 0xFF"},
                      NameCase{256, "no key"}, NameCase{-1, "no key"}),
    ruskel::testing::NamedBy([](const NameCase& c) {
      return "code " + std::to_string(c.code) + " " + c.name;
    }));

TEST(KeyWithCodeTest, AddsTheDecimalCode) {
  EXPECT_EQ(KeyWithCode(13), "Return (13)");
  EXPECT_EQ(KeyWithCode(200), "VK 0xC8 (200)");
}

}  // namespace
}  // namespace ruskel
