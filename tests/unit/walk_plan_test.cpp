// The shortest menu walk: the plan, its words and, on a simulated menu, the
// line it ends on.
#include "core/walk_plan.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace ruskel {
namespace {

constexpr std::uint8_t kDown = 40, kReturn = 13, kPageDown = 34, kPageUp = 33, kUp = 38;

struct WalkCase {
  int lines;     // the menu's length
  int pageSize;  // 0: no pagekey
  bool wrap;     // wrapkey
  bool pageUp;   // pageupkey
  int slot;      // GameIndex
  const char* words;
};

// A menu as emulators have it: Down and the page keys stop at the ends, Up
// wraps from the top to the bottom. A key that would run past an end is a
// walk that relies on what the menu does there: -1.
int MenuLineAfter(const std::vector<KeyStroke>& strokes, const WalkCase& c) {
  int line = 0;
  for (const KeyStroke& stroke : strokes) {
    if (!stroke.down) continue;
    const int page = stroke.virtualKey == kPageDown ? c.pageSize
                     : stroke.virtualKey == kPageUp ? -c.pageSize
                     : stroke.virtualKey == kDown   ? 1
                     : stroke.virtualKey == kUp     ? -1
                                                    : 0;
    line += page;
    if (stroke.virtualKey == kUp && line < 0) line = c.lines - 1;
    if (line < 0 || line >= c.lines) return -1;
  }
  return line;
}

class WalkPlanTest : public ::testing::TestWithParam<WalkCase> {};

TEST_P(WalkPlanTest, ShortestWalkEndsOnTheGame) {
  const WalkCase& c = GetParam();
  RunOptions options;
  options.pagekey = c.pageSize > 0 ? kPageDown : 0;
  options.pagesize = static_cast<std::uint32_t>(c.pageSize);
  options.wrapkey = c.wrap ? kUp : 0;
  options.pageupkey = c.pageUp ? kPageUp : 0;
  const WalkKeys keys{{{kDown, true}, {kDown, false}},
                      {{kReturn, true}, {kReturn, false}},
                      kPageDown,
                      kPageUp,
                      kUp};
  const WalkPlan plan = PlanWalk(c.slot, c.lines, options);
  EXPECT_EQ(DescribeWalk(plan, keys, 60), c.words);
  const std::vector<KeyStroke> strokes = WalkStrokes(plan, keys);
  EXPECT_EQ(MenuLineAfter(strokes, c), c.slot);
  ASSERT_GE(strokes.size(), 2u);
  EXPECT_EQ(strokes[strokes.size() - 2].virtualKey, kReturn);
  if (c.pageSize == 0 && !c.wrap) {
    // Without the options: exactly the select sequence GameIndex times.
    EXPECT_EQ(strokes.size(), static_cast<std::size_t>(2 * c.slot + 2));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Slots, WalkPlanTest,
    ::testing::Values(
        WalkCase{400, 0, false, false, 0, "0 x Down, Return: 2 steps, 0.1 s with keydelay=60"},
        WalkCase{400, 0, false, false, 399,
                 "399 x Down, Return: 800 steps, 48.0 s with keydelay=60"},
        WalkCase{400, 1, false, false, 5,
                 "5 x Page Down, 0 x Down, Return: 12 steps, 0.7 s with keydelay=60"},
        WalkCase{400, 10, false, false, 9,
                 "0 x Page Down, 9 x Down, Return: 20 steps, 1.2 s with keydelay=60"},
        WalkCase{400, 10, false, false, 10,
                 "1 x Page Down, 0 x Down, Return: 4 steps, 0.2 s with keydelay=60"},
        WalkCase{400, 10, false, false, 399,
                 "39 x Page Down, 9 x Down, Return: 98 steps, 5.9 s with keydelay=60"},
        WalkCase{400, 500, false, false, 399,
                 "0 x Page Down, 399 x Down, Return: 800 steps, 48.0 s with keydelay=60"},
        WalkCase{400, 0, true, false, 0, "0 x Down, Return: 2 steps, 0.1 s with keydelay=60"},
        WalkCase{400, 0, true, false, 399, "1 x Up, Return: 4 steps, 0.2 s with keydelay=60"},
        // The midpoint: equally long either way, and then Down as ever.
        WalkCase{400, 0, true, false, 200,
                 "200 x Down, Return: 402 steps, 24.1 s with keydelay=60"},
        WalkCase{400, 0, true, false, 201, "199 x Up, Return: 400 steps, 24.0 s with keydelay=60"},
        WalkCase{400, 10, true, false, 9,
                 "1 x Page Down, 1 x Up, Return: 6 steps, 0.4 s with keydelay=60"},
        WalkCase{400, 10, true, false, 399, "1 x Up, Return: 4 steps, 0.2 s with keydelay=60"},
        WalkCase{400, 10, true, true, 0,
                 "0 x Page Down, 0 x Down, Return: 2 steps, 0.1 s with keydelay=60"},
        WalkCase{400, 10, true, true, 300,
                 "1 x Up, 10 x Page Up, 1 x Down, Return: 26 steps, 1.6 s with keydelay=60"},
        WalkCase{400, 10, true, true, 205,
                 "5 x Up, 19 x Page Up, Return: 50 steps, 3.0 s with keydelay=60"},
        WalkCase{400, 1, true, true, 200,
                 "200 x Page Down, 0 x Down, Return: 402 steps, 24.1 s with keydelay=60"},
        WalkCase{12, 20, true, true, 11,
                 "1 x Up, 0 x Page Up, Return: 4 steps, 0.2 s with keydelay=60"}),
    testing::NamedBy([](const WalkCase& c) {
      return "of " + std::to_string(c.lines) + " page " + std::to_string(c.pageSize) +
             (c.wrap ? " wrap" : "") + (c.pageUp ? " pageup" : "") + " slot " +
             std::to_string(c.slot);
    }));

// The time is whole tenths of a second, a half rounded up, and no delay says so.
TEST(DescribeWalkTest, TimeIsInTenthsRoundedHalfUp) {
  const WalkKeys keys{{{kDown, true}, {kDown, false}}, {{kReturn, true}, {kReturn, false}}, 0, 0,
                      0};
  const WalkPlan plan = PlanWalk(0, 10, RunOptions{});  // the enter key alone: 2 steps
  EXPECT_EQ(DescribeWalk(plan, keys, 75), "0 x Down, Return: 2 steps, 0.2 s with keydelay=75");
  EXPECT_EQ(DescribeWalk(plan, keys, 24), "0 x Down, Return: 2 steps, 0.0 s with keydelay=24");
  EXPECT_EQ(DescribeWalk(plan, keys, 1000), "0 x Down, Return: 2 steps, 2.0 s with keydelay=1000");
  EXPECT_EQ(DescribeWalk(plan, keys, 0), "0 x Down, Return: 2 steps, back to back (keydelay=0)");
}

}  // namespace
}  // namespace ruskel
