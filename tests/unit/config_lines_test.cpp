#include "core/config_lines.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "core/config_loader.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using Lines = std::vector<std::string>;

struct LinesCase {
  const char* bytes;
  Lines lines;
};

class ConfigLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(ConfigLinesTest, SplitsAtCrOrCrLfAndTrimsBlanks) {
  EXPECT_EQ(ConfigLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ConfigLinesTest,
    ::testing::Values(LinesCase{"", {}}, LinesCase{"a", {"a"}}, LinesCase{"a\r\nb\r\n", {"a", "b"}},
                      LinesCase{"a\rb\r", {"a", "b"}}, LinesCase{"a\r\n\r\nb", {"a", "", "b"}},
                      LinesCase{"a\r\r", {"a", ""}}, LinesCase{"a\nb\r\n", {"a\nb"}},
                      LinesCase{"a\r\n\nb", {"a", "\nb"}}, LinesCase{"  x y \t \r\n", {"x y \t"}}),
    testing::NamedBy([](const LinesCase& c) { return std::string(c.bytes); }));

// The wrapper's reader names a line by number; the checker's lines must be
// numbered the same way whatever the line endings.
TEST(ConfigLinesTest, NumbersLinesAsTheWrappersReaderDoes) {
  for (const char* eol : {"\r\n", "\r"}) {
    testing::ConfigText config;
    config.eol = eol;
    config.timer = std::string("free text") + eol + "Timer=500";
    const std::string file = config.Build();
    RunState state;
    auto error = ParseConfig(file, state);
    ASSERT_TRUE(error);
    ASSERT_NE(error->find("Line 18 reads \"Timer=500\""), std::string::npos) << *error;
    EXPECT_EQ(ConfigLines(file).at(17), "Timer=500");
  }
}

}  // namespace
}  // namespace ruskel
