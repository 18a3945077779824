#include "platform/cp1252_upper.h"

#include <gtest/gtest.h>

namespace ruskel {
namespace {

TEST(UpperCp1252Test, MapsAsWindowsDoesForCodePage1252) {
  const std::pair<const char*, const char*> cases[] = {
      {"mygame", "MYGAME"},
      {"Pok\xE9mon", "POK\xC9MON"},                              // é
      {"\xE0\xE7\xF1\xF6\xF8\xFE", "\xC0\xC7\xD1\xD6\xD8\xDE"},  // à ç ñ ö ø þ
      {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},                  // š œ ž ÿ
      {"\xF7\xDF\xB5", "\xF7\xDF\xB5"},                          // ÷ ß µ have no capital here
      {"\xAA\xBA\xD7\x83", "\xAA\xBA\xD7\x83"},                  // ª º × ƒ stay
      {"ABC \xC9 09 _-.~", "ABC \xC9 09 _-.~"},                  // capitals and signs stay
      {"", ""},
  };
  for (auto [text, upper] : cases) EXPECT_EQ(UpperCp1252(text), upper) << text;
}

TEST(UpperCp1252Test, ChangesExactly60BytesEachIntoACapitalThatStays) {
  int changed = 0;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const std::string upper = UpperCp1252(one);
    ASSERT_EQ(upper.size(), 1u);
    EXPECT_EQ(UpperCp1252(upper), upper) << byte;  // a capital is its own upper case
    if (upper != one) ++changed;
  }
  EXPECT_EQ(changed, 26 + 30 + 4);  // a-z, à-þ without ÷, š œ ž ÿ
  EXPECT_EQ(UpperCp1252(std::string("a\0b", 3)), std::string("A\0B", 3));
}

}  // namespace
}  // namespace ruskel
