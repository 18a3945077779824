#include "core/closest_names.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace ruskel {
namespace {

struct DistanceCase {
  const char* a;
  const char* b;
  std::size_t distance;
};

class EditDistanceTest : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(EditDistanceTest, CountsInsertionsDeletionsAndChangesIgnoringCase) {
  EXPECT_EQ(EditDistance(GetParam().a, GetParam().b), GetParam().distance);
  EXPECT_EQ(EditDistance(GetParam().b, GetParam().a), GetParam().distance);
}

INSTANTIATE_TEST_SUITE_P(Pairs, EditDistanceTest,
                         ::testing::Values(DistanceCase{"", "", 0}, DistanceCase{"", "abc", 3},
                                           DistanceCase{"mygame", "MyGame", 0},
                                           DistanceCase{"mygame", "mygam", 1},
                                           DistanceCase{"mygame", "mygmae", 2},
                                           DistanceCase{"kitten", "sitting", 3},
                                           DistanceCase{"mygame.7z", "mygame", 3}),
                         ruskel::testing::NamedBy([](const DistanceCase& c) {
                           return std::string(c.a) + " vs " + c.b;
                         }));

const std::vector<std::string> kMenu = {"astrolancer", "mygame", "mygames", "neonnightmare",
                                        "ourgame"};

TEST(ClosestNamesTest, NearestFirstThenMenuOrder) {
  EXPECT_EQ(ClosestNames("mygamez", kMenu, 3), (std::vector<std::string>{"mygame", "mygames"}));
  EXPECT_EQ(ClosestNames("mygamess", kMenu, 3), (std::vector<std::string>{"mygames", "mygame"}));
  EXPECT_EQ(ClosestNames("yourgame", kMenu, 3), (std::vector<std::string>{"ourgame"}));
}

TEST(ClosestNamesTest, KeepsToTheLimitAndLeavesFarNamesOut) {
  EXPECT_EQ(ClosestNames("mygame", kMenu, 1), (std::vector<std::string>{"mygame"}));
  EXPECT_TRUE(ClosestNames("zzz", kMenu, 3).empty());
  EXPECT_TRUE(ClosestNames("x", {}, 3).empty());
}

}  // namespace
}  // namespace ruskel
