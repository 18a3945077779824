#include "core/number.h"

#include <gtest/gtest.h>

#include <cmath>

#include "case_name.h"

namespace ruskel {
namespace {

struct NumberCase {
  const char* text;
  std::optional<double> expected;
};

// Signs and points decide these cases, so they are named in words.
std::string SpelledOut(std::string_view text) {
  std::string out;
  for (char c : text) {
    out += c == '-'   ? " minus "
           : c == '+' ? " plus "
           : c == '.' ? " point "
           : c == ' ' ? " blank "
                      : std::string(1, c);
  }
  return out;
}

class ReadNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumberTest, ReadsOnlyPlainDecimals) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(ReadNumber(c.text), c.expected) << "text: [" << c.text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ReadNumberTest,
    ::testing::Values(NumberCase{"27", 27}, NumberCase{"  40 ", 40}, NumberCase{"-3", -3},
                      NumberCase{"+3", 3}, NumberCase{"0.5", 0.5}, NumberCase{".5", 0.5},
                      NumberCase{"7.", 7}, NumberCase{"007", 7}, NumberCase{"", std::nullopt},
                      NumberCase{"   ", std::nullopt}, NumberCase{"-", std::nullopt},
                      NumberCase{".", std::nullopt}, NumberCase{"1.2.3", std::nullopt},
                      NumberCase{"1e3", std::nullopt}, NumberCase{"0x1B", std::nullopt},
                      NumberCase{"12abc", std::nullopt}, NumberCase{"1 2", std::nullopt},
                      NumberCase{"\t5", std::nullopt}, NumberCase{"--5", std::nullopt},
                      NumberCase{"- 5", std::nullopt}, NumberCase{"5-", std::nullopt}),
    testing::NamedBy([](const NumberCase& c) { return SpelledOut(c.text); }));

TEST(ReadNumberTest, HugeDigitRunsReadAsLargeNumbersNotErrors) {
  auto huge = ReadNumber(std::string(400, '9'));
  ASSERT_TRUE(huge);
  EXPECT_TRUE(std::isinf(*huge) || *huge > 1e300);
  EXPECT_FALSE(ToInt32(*huge));
  EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1"), 0.0);
}

// Digits past what a double holds never move a value across a half.
TEST(ReadNumberTest, LongFractionsRoundAsTheirValue) {
  EXPECT_EQ(ToInt32(*ReadNumber("2.5" + std::string(30, '0'))), 2);
  EXPECT_EQ(ToInt32(*ReadNumber("2.5" + std::string(30, '0') + "1")), 2);  // as a double reads it
  EXPECT_EQ(ToInt32(*ReadNumber("2.50001")), 3);
  EXPECT_EQ(ToInt32(*ReadNumber("2.4" + std::string(30, '9'))), 2);
  EXPECT_EQ(ToInt32(*ReadNumber("27.49")), 27);
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, double> cases[] = {{0.5, 0},   {1.5, 2},     {2.5, 2},    {-0.5, 0},
                                             {-1.5, -2}, {-2.5, -2},   {0.49, 0},   {0.51, 1},
                                             {12.0, 12}, {255.5, 256}, {254.5, 254}};
  for (auto [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(ToInt32Test, RangeIsSigned32BitAfterRounding) {
  EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
  EXPECT_EQ(ToInt32(2147483647.4), 2147483647);
  EXPECT_FALSE(ToInt32(2147483647.5));  // rounds to 2^31
  EXPECT_EQ(ToInt32(-2147483648.0), -2147483648LL);
  EXPECT_FALSE(ToInt32(-2147483649.0));
  EXPECT_FALSE(ToInt32(99999999999.0));
}

TEST(ReadWholeNumberTest, ChecksTheRangeAfterRounding) {
  EXPECT_EQ(ReadWholeNumber("255.4", 0, 255), 255);
  EXPECT_FALSE(ReadWholeNumber("255.5", 0, 255));
  EXPECT_EQ(ReadWholeNumber("-0.5", 0, 255), 0);
  EXPECT_FALSE(ReadWholeNumber("-1", 0, 255));
  EXPECT_FALSE(ReadWholeNumber("abc", 0, 255));
}

}  // namespace
}  // namespace ruskel
