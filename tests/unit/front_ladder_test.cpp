// How hard the bring-forward asks: a window that keeps itself on top stays
// there, and the stronger rungs (task bar flashes, key state resets) run
// rarely and a bounded number of times however often the front is asked for.
#include "platform/front_ladder.h"

#include <gtest/gtest.h>

namespace ruskel {
namespace {

constexpr std::uint64_t kWindow = 0x2a;

TEST(FrontLadderTest, AWindowThatKeepsItselfOnTopIsNeverTakenOutOfTheBand) {
  FrontLadder topmost;
  EXPECT_EQ(topmost.Refused(kWindow, true, 0), (FrontPlan{true, true, false}));
  FrontLadder ordinary;
  EXPECT_EQ(ordinary.Refused(kWindow, false, 0), (FrontPlan{true, true, true}));
}

struct SpellCase {
  const char* name;
  std::uint64_t tickMs;  // how often the front is asked for while refused
  std::uint64_t forMs;
  std::uint32_t strongClimbs;
};

class FrontLadderSpellTest : public ::testing::TestWithParam<SpellCase> {};

TEST_P(FrontLadderSpellTest, StrongerRungsAreSpacedAndCapped) {
  const SpellCase& c = GetParam();
  FrontLadder ladder;
  std::uint64_t lastStrong = 0;
  bool climbed = false;
  for (std::uint64_t now = 1000; now < 1000 + c.forMs; now += c.tickMs) {
    const FrontPlan plan = ladder.Refused(kWindow, false, now);
    if (plan.shareInput) {
      if (climbed) {
        EXPECT_GE(now - lastStrong, kStrongRungEveryMs) << "at " << now;
      }
      climbed = true;
      lastStrong = now;
    }
  }
  EXPECT_EQ(ladder.StrongClimbs(), c.strongClimbs);
}

INSTANTIATE_TEST_SUITE_P(Ticks, FrontLadderSpellTest,
                         ::testing::Values(SpellCase{"WindowWaitFirstTickClimbs", 10, 10, 1},
                                           SpellCase{"WindowWaitTwoSeconds", 10, 2000, 2},
                                           SpellCase{"HeldFiveSeconds", 250, 5000, 5},
                                           SpellCase{"HeldAMinuteIsCapped", 250, 60000,
                                                     kStrongRungCap}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FrontLadderTest, ASpellEndsWhenTheWindowIsInFrontOrAnotherIsAskedFor) {
  FrontLadder ladder;
  std::uint64_t now = 0;
  for (std::uint32_t i = 0; i < kStrongRungCap; ++i, now += kStrongRungEveryMs) {
    ladder.Refused(kWindow, false, now);
  }
  EXPECT_FALSE(ladder.Refused(kWindow, false, now).shareInput);  // capped
  ladder.Landed(0x55);  // another window in front: still capped
  EXPECT_FALSE(ladder.Refused(kWindow, false, now + 1).shareInput);
  ladder.Landed(kWindow);
  EXPECT_TRUE(ladder.Refused(kWindow, false, now + 2).shareInput);
  EXPECT_TRUE(ladder.Refused(0x55, false, now + 3).shareInput);  // a new window climbs at once
  EXPECT_EQ(ladder.StrongClimbs(), kStrongRungCap + 2);
}

}  // namespace
}  // namespace ruskel
