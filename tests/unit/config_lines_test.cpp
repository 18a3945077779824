#include "core/config_lines.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "core/config_loader.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using Lines = std::vector<std::string>;
using Ends = std::vector<LineEnd>;
constexpr LineEnd kCrLf = LineEnd::CrLf;
constexpr LineEnd kLf = LineEnd::Lf;
constexpr LineEnd kCr = LineEnd::Cr;
constexpr LineEnd kNone = LineEnd::None;

struct LinesCase {
  const char* bytes;
  Lines lines;
  Ends ends;
};

class ConfigLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(ConfigLinesTest, EndsALineAtCrLfLfOrCrAndTrimsBlanks) {
  EXPECT_EQ(ConfigLines(GetParam().bytes), GetParam().lines);
  EXPECT_EQ(ConfigLineEnds(GetParam().bytes), GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ConfigLinesTest,
    ::testing::Values(LinesCase{"", {}, {}}, LinesCase{"a", {"a"}, {kNone}},
                      LinesCase{"a\r\nb\r\n", {"a", "b"}, {kCrLf, kCrLf}},
                      LinesCase{"a\nb\n", {"a", "b"}, {kLf, kLf}},
                      LinesCase{"a\rb\r", {"a", "b"}, {kCr, kCr}},
                      // A block pasted from elsewhere into a CR LF file.
                      LinesCase{"a\r\nb\nc\nd\r\n", {"a", "b", "c", "d"}, {kCrLf, kLf, kLf, kCrLf}},
                      LinesCase{"a\rb\nc\r\nd", {"a", "b", "c", "d"}, {kCr, kLf, kCrLf, kNone}},
                      LinesCase{"a\r\n\r\nb", {"a", "", "b"}, {kCrLf, kCrLf, kNone}},
                      LinesCase{"a\n\nb", {"a", "", "b"}, {kLf, kLf, kNone}},
                      LinesCase{"a\r\r", {"a", ""}, {kCr, kCr}},
                      // LF CR is two endings, not one: only CR LF is a pair.
                      LinesCase{"a\n\rb", {"a", "", "b"}, {kLf, kCr, kNone}},
                      LinesCase{"a\r\n\nb", {"a", "", "b"}, {kCrLf, kLf, kNone}},
                      LinesCase{"a\r", {"a"}, {kCr}}, LinesCase{"  x y \t \n", {"x y \t"}, {kLf}}),
    testing::NamedBy([](const LinesCase& c) { return std::string(c.bytes); }));

// The wrapper's reader names a line by number; the checker's lines must be
// numbered the same way whatever the line endings.
TEST(ConfigLinesTest, NumbersLinesAsTheWrappersReaderDoes) {
  for (const char* eol : {"\r\n", "\r", "\n"}) {
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
