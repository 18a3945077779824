// ruskel-check --pixel on the simulated Windows: the colour at a point of the
// running emulator's window, as a wait pixel line takes it.
#include "tools/check/pixel_check.h"

#include <gtest/gtest.h>

#include "run_harness.h"
#include "tools/check/check_plan.h"

namespace ruskel::check {
namespace {

constexpr WindowHandle kWindow = 0x2a;
constexpr ProcessId kRunning = 200;  // started by the owner, not by the check

struct PixelCase {
  const char* name;
  std::vector<std::string> handles;
  bool shown;  // the emulator's window is up
  const char* point;
  int code;
  std::vector<std::string> expected;  // parts of the output, in order
};

class PixelCheckTest : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PixelCheckTest, PrintsTheColourOrWhyNot) {
  const PixelCase& c = GetParam();
  FakePlatform os;
  os.AddProcess({kRunning});
  if (c.shown) os.AddWindow({kWindow, kRunning, "My Emulator"});
  os.clientPixels[{615, 23}] = 0x00C850;
  ruskel::testing::ConfigText config;
  config.handles = c.handles;
  RunState state;
  ASSERT_EQ(ParseConfig(config.Build(), state), std::nullopt);
  std::string out;
  EXPECT_EQ(CheckPixel(state, os, c.point, [&out](const std::string& line) { out += line + "\n"; }),
            c.code);
  std::size_t from = 0;
  for (const std::string& part : c.expected) {
    const std::size_t at = out.find(part, from);
    EXPECT_NE(at, std::string::npos) << "expected \"" << part << "\" in:\n" << out;
    if (at != std::string::npos) from = at + part.size();
  }
  // Read only once the window has been in front a while: the console would cover it.
  if (c.code == kCheckFileFine) {
    using ruskel::testing::TimeOf;
    EXPECT_GE(TimeOf(os, "ClientPixel 0x2a"), TimeOf(os, "BringToFront 0x2a") + kPixelDrawMs);
    EXPECT_EQ(out.find("not in front"), std::string::npos) << out;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Points, PixelCheckTest,
    ::testing::Values(
        PixelCase{"read_as_a_wait_pixel_line",
                  {"my emulator", "title"},
                  true,
                  "615,23",
                  kCheckFileFine,
                  {"the pixel at 615,23 of the client area of \"My Emulator\" is 00C850\n",
                   "\n  wait pixel 615,23 00C850\n"}},
        PixelCase{"no_window_fits",
                  {"My Emulator", "title"},
                  false,
                  "615,23",
                  kCheckFileBroken,
                  {"{handles} asks for \"My Emulator\": no window shown now fits; start the "
                   "emulator"}},
        PixelCase{"title_null_names_no_window",
                  {"null", "title"},
                  true,
                  "615,23",
                  kCheckFileBroken,
                  {"names no window of a running emulator"}},
        PixelCase{"point_outside_the_window",
                  {"My Emulator", "title"},
                  true,
                  "700,10",
                  kCheckFileFine,
                  {"is 000000\n", "640 x 480 with its frame, so that point lies outside it",
                   "  wait pixel 700,10 000000\n"}},
        PixelCase{"no_point",
                  {"My Emulator", "title"},
                  true,
                  "615;23",
                  kCheckUsage,
                  {"--pixel takes a point x,y", "not \"615;23\""}}),
    [](const ::testing::TestParamInfo<PixelCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ruskel::check
