// The key player: which steps send keys, and the scan codes they carry.
#include "core/key_sequence.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/extended_keys.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using testing::SimulatedRun;

struct ScanCase {
  const char* name;
  const char* option;  // empty: no options section
  std::vector<std::string> keys;
};

class ScanCodeTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanCodeTest, SendsWhatTheOptionAsksFor) {
  SimulatedRun run;
  ConfigText config;
  config.startup = {"40/down", "40/up", "13/down", "255/up", "19/down", "144/down", "44/down"};
  config.enter = {};
  config.games = {"alpha"};
  if (*GetParam().option != '\0') config.options = {GetParam().option};
  ASSERT_TRUE(run.Begin(config, "-alpha"));
  EXPECT_EQ(run.RunFor(100), std::nullopt);
  EXPECT_EQ(run.os.TraceOf("Key "), GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ScanCodeTest,
    ::testing::Values(
        // Down is an E0 key: without the flag scan-code readers take it for numpad 2.
        ScanCase{"DefaultIsOn",
                 "",
                 {"Key 40 down scan=0x50 ext", "Key 40 up scan=0x50 ext", "Key 13 down scan=0x1c",
                  "Key 255 up", "Key 19 down scan=0x45", "Key 144 down scan=0x45 ext",
                  "Key 44 down scan=0x37 ext"}},
        ScanCase{"Off",
                 "scancodes=off",
                 {"Key 40 down", "Key 40 up", "Key 13 down", "Key 255 up", "Key 19 down",
                  "Key 144 down", "Key 44 down"}},
        // A key without a scan code is sent as before, not as scan code 0; Pause,
        // Num Lock and Print Screen go by virtual-key code.
        ScanCase{"Strict",
                 "scancodes=strict",
                 {"Key 40 down scan=0x50 ext scancode", "Key 40 up scan=0x50 ext scancode",
                  "Key 13 down scan=0x1c scancode", "Key 255 up", "Key 19 down scan=0x45",
                  "Key 144 down scan=0x45 ext", "Key 44 down scan=0x37 ext"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExtendedKeyTest, TheE0FamilyAndNothingElse) {
  for (int vk : {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E, 0x5B, 0x5C, 0x5D, 0x6F,
                 0xA3, 0xA5, 0x90, 0x2C}) {
    EXPECT_TRUE(IsExtendedKey(static_cast<std::uint8_t>(vk))) << vk;
  }
  // Return, numpad keys, left Ctrl and Alt, letters and the plain Ctrl/Alt codes are not.
  for (int vk : {0x0D, 0x60, 0x62, 0x68, 0x6A, 0x6B, 0x6D, 0x6E, 0xA2, 0xA4, 0x41, 0x11, 0x12, 0x10,
                 0x1B, 0x20}) {
    EXPECT_FALSE(IsExtendedKey(static_cast<std::uint8_t>(vk))) << vk;
  }
}

TEST(SequencePlayerTest, OnlyExactDownAndUpSendKeys) {
  SimulatedRun run;
  ConfigText config;
  config.startup = {"40 / down", "40/up ", "41/Down", "42/press", "43/up/extra", "junk/wait"};
  config.games = {"alpha"};
  config.options = {"scancodes=off"};
  ASSERT_TRUE(run.Begin(config, "-alpha"));
  EXPECT_EQ(run.RunFor(100), std::nullopt);
  EXPECT_EQ(run.Keys(), "40d 40u 43u 13d 13u");  // then enter
  for (const std::string& key : run.os.TraceOf("Key ")) {
    EXPECT_EQ(key.find(' ', key.rfind(' ') - 1), key.rfind(' ')) << key;  // "Key 40 down", no more
  }
}

}  // namespace
}  // namespace ruskel
