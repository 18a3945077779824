// The hand-made number formats of messages and the log.
#include "core/text.h"

#include <gtest/gtest.h>

namespace ruskel {
namespace {

TEST(TextTest, HexIsUpperCaseWithAtLeastTheDigitsAsked) {
  EXPECT_EQ(Hex(0), "0");
  EXPECT_EQ(Hex(0x3000), "3000");
  EXPECT_EQ(Hex(7, 2), "07");
  EXPECT_EQ(Hex(0xFF, 2), "FF");
  EXPECT_EQ(Hex(0xABC, 2), "ABC");
  EXPECT_EQ(Hex(0xFFFFFFFFu), "FFFFFFFF");
}

TEST(TextTest, PaddedNumberIsRightAlignedAndNeverCut) {
  EXPECT_EQ(PaddedNumber(0, 8), "       0");
  EXPECT_EQ(PaddedNumber(12345678, 8), "12345678");
  EXPECT_EQ(PaddedNumber(123456789, 8), "123456789");
  EXPECT_EQ(PaddedNumber(18446744073709551615ull, 8), "18446744073709551615");
}

TEST(TextTest, QuotedShowsControlCharactersAsHexEscapes) {
  EXPECT_EQ(Quoted(std::string("a\x01" "b\x1f\x7f", 5)), "\"a\\x01b\\x1F\\x7F\"");
  EXPECT_EQ(Quoted("tab\there\n"), "\"tab\\there\\n\"");
}

}  // namespace
}  // namespace ruskel
