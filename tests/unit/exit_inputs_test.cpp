// The exit button's match and the words for a mask: what the run watches and
// what ruskel-check says about it come from the same functions.
#include "core/exit_inputs.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "driver/exit_watch.h"

namespace ruskel {
namespace {

struct MatchCase {
  ButtonMask exitButton;
  ButtonMask held;
  bool ends;
};

class ButtonsMatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(ButtonsMatchTest, DecidesForTheRunAndTheCheck) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(ButtonsMatch(c.held, c.exitButton), c.ends);

  // The run: the watch and the wait for the release ask the same function.
  ExitWatch watch;
  watch.Start({std::nullopt, c.exitButton, 0}, 0, false);
  EXPECT_EQ(watch.AnyPadMatches({0, c.held}), c.ends);
  EXPECT_EQ(watch.PadsRead({c.held}, 10), c.ends);

  // The check: a mask is said to ignore buttons 5 and up exactly where the
  // match does.
  const bool ignoresFiveUp = ButtonsMatch(c.exitButton | 0xFFF0u, c.exitButton);
  EXPECT_EQ(DescribeButtonMask(c.exitButton).find("5 and up not looked at") != std::string::npos,
            ignoresFiveUp);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, ButtonsMatchTest,
    ::testing::Values(MatchCase{4, 4, true}, MatchCase{4, 5, false}, MatchCase{4, 4 | 64, true},
                      MatchCase{4, 0, false}, MatchCase{15, 15 | 16, true}, MatchCase{16, 16, true},
                      MatchCase{16, 17, false}, MatchCase{192, 192, true},
                      MatchCase{192, 64, false}, MatchCase{192, 192 | 1, false},
                      MatchCase{1023, 1023, true}),
    testing::NamedBy([](const MatchCase& c) {
      return "mask " + std::to_string(c.exitButton) + " held " + std::to_string(c.held);
    }));

struct WordsCase {
  ButtonMask mask;
  const char* shown;
};

class DescribeButtonMaskTest : public ::testing::TestWithParam<WordsCase> {};

TEST_P(DescribeButtonMaskTest, NamesTheButtonsOfTheMask) {
  EXPECT_EQ(DescribeButtonMask(GetParam().mask), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, DescribeButtonMaskTest,
    ::testing::Values(
        WordsCase{4, "mask 4: button 3 alone, buttons 5 and up not looked at (Xbox pad: X)"},
        WordsCase{5,
                  "mask 5: buttons 1+3 together, buttons 5 and up not looked at (Xbox pad: A + X)"},
        WordsCase{16, "mask 16: button 5 alone, nothing else held (Xbox pad: LB)"},
        WordsCase{192,
                  "mask 192: buttons 7+8 together, nothing else held (Xbox pad: Back + Start)"},
        WordsCase{4096, "mask 4096: button 13 alone, nothing else held"},
        WordsCase{0, "mask 0: no buttons"}),
    testing::NamedBy([](const WordsCase& c) { return "mask " + std::to_string(c.mask); }));

TEST(XboxButtonNamesTest, FallsBackToTheNumberBeyondTheXboxButtons) {
  EXPECT_EQ(XboxButtonNames(192), "Back + Start");
  EXPECT_EQ(XboxButtonNames(768), "left stick + right stick");
  EXPECT_EQ(XboxButtonNames(1 | 1024), "A + button 11");
}

TEST(WhyNoExitButtonTest, TellsTextFromAnUnusableNumber) {
  EXPECT_EQ(WhyNoExitButton("start"), "\"start\" is not a number");
  EXPECT_EQ(WhyNoExitButton("0.4"), "\"0.4\" is no button mask (1 or more, within 32 bits)");
}

}  // namespace
}  // namespace ruskel
