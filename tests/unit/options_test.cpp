// The {options} section: good and bad lines, and what they set.
#include "core/options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/config_loader.h"
#include "run_harness.h"

namespace ruskel {
namespace {

using testing::ConfigText;
using ::testing::HasSubstr;

// The default file with these lines after its exe line.
std::string WithTail(const std::string& tail) {
  return ConfigText{}.Build() + tail;
}

struct GoodCase {
  const char* name;
  const char* tail;
  void (*check)(const RunOptions&);
};

class OptionsAccepted : public ::testing::TestWithParam<GoodCase> {};

TEST_P(OptionsAccepted, LoadsAndSets) {
  RunState s;
  ASSERT_EQ(ParseConfig(WithTail(GetParam().tail), s), std::nullopt);
  GetParam().check(s.Options);
}

const GoodCase kGoodCases[] = {
    {"NoSectionKeepsTheDefaults", "",
     [](const RunOptions& o) {
       EXPECT_EQ(o.scancodes, ScanCodes::On);
       EXPECT_EQ(o.keydelay, 0u);
       EXPECT_EQ(o.closewait, 3000u);
       EXPECT_TRUE(o.follow);
       EXPECT_FALSE(o.terminate);
       EXPECT_FALSE(o.curtain);
       EXPECT_EQ(o.log, "");
     }},
    {"FreeTextAfterExeIsSkipped",
     "notes\r\nmore notes\r\n{options}\r\nkeydelay=60\r\n{/options}\r\n",
     [](const RunOptions& o) { EXPECT_EQ(o.keydelay, 60u); }},
    {"CommentsBlanksAndSpacesAroundEquals",
     "{options}\r\n; a comment\r\n\r\n  keydelay = 40  \r\n;keydelay=1\r\n{/options}\r\n",
     [](const RunOptions& o) { EXPECT_EQ(o.keydelay, 40u); }},
    {"NamesAndWordsInAnyCase", "{options}\r\nScanCodes=STRICT\r\nJOYSTICK=Any\r\n{/options}",
     [](const RunOptions& o) {
       EXPECT_EQ(o.scancodes, ScanCodes::Strict);
       EXPECT_EQ(o.joystick, JoystickChoice::Any);
     }},
    {"EveryOption",
     "{options}\r\nscancodes=off\r\nkeydelay=1000\r\nstartdelay=60000\r\njoystick=first\r\n"
     "exithold=10000\r\nfollow=off\r\nclosewait=0\r\nterminate=on\r\nkillwithruskel=on\r\n"
     "log=logs\\ruskel.log\r\ncurtain=on\r\npagekey=34\r\npagesize=400\r\nwrapkey=38\r\n"
     "pageupkey=33\r\n{/options}\r\n",
     [](const RunOptions& o) {
       EXPECT_EQ(o.scancodes, ScanCodes::Off);
       EXPECT_EQ(o.keydelay, 1000u);
       EXPECT_EQ(o.startdelay, 60000u);
       EXPECT_EQ(o.joystick, JoystickChoice::First);
       EXPECT_EQ(o.exithold, 10000u);
       EXPECT_FALSE(o.follow);
       EXPECT_EQ(o.closewait, 0u);
       EXPECT_TRUE(o.terminate);
       EXPECT_TRUE(o.killwithruskel);
       EXPECT_EQ(o.log, "logs\\ruskel.log");
       EXPECT_TRUE(o.curtain);
       EXPECT_EQ(o.pagekey, 34);
       EXPECT_EQ(o.pagesize, 400u);
       EXPECT_EQ(o.wrapkey, 38);
       EXPECT_EQ(o.pageupkey, 33);
     }},
    {"WalkKeysOffWithNoneOrZero", "{options}\r\npagekey=none\r\nwrapkey=0\r\n{/options}\r\n",
     [](const RunOptions& o) {
       EXPECT_EQ(o.pagekey, 0);
       EXPECT_EQ(o.wrapkey, 0);
     }},
    {"TextAfterTheSectionIsIgnored", "{options}\r\nkeydelay=5\r\n{/options}\r\nanything=at all\r\n",
     [](const RunOptions& o) { EXPECT_EQ(o.keydelay, 5u); }},
};

INSTANTIATE_TEST_SUITE_P(Options, OptionsAccepted, ::testing::ValuesIn(kGoodCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
  const char* name;
  const char* tail;  // after the default file's 25 lines
  const char* message;
};

class OptionsRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(OptionsRefused, NamesTheLineAndWhatIsWrong) {
  RunState s;
  const auto error = ParseConfig(WithTail(GetParam().tail), s);
  ASSERT_TRUE(error.has_value());
  EXPECT_THAT(*error, HasSubstr(GetParam().message));
}

// The default file ends with its exe line on line 25.
const BadCase kBadCases[] = {
    {"UnknownNameSuggestsTheNearest", "{options}\r\nkeydelya=60\r\n{/options}\r\n",
     "line 27: unknown option \"keydelya\" (did you mean keydelay?). The options are: scancodes, "
     "keydelay, startdelay"},
    {"UnknownNameFarFromAnyKnown", "{options}\r\nbanana=1\r\n{/options}\r\n",
     "line 27: unknown option \"banana\". The options are:"},
    {"LineWithoutEquals", "{options}\r\nkeydelay 60\r\n{/options}\r\n",
     "line 27: expected an option such as keydelay=60 inside {options}, found \"keydelay 60\""},
    {"DelayAboveItsRange", "{options}\r\nkeydelay=1001\r\n{/options}\r\n",
     "line 27: bad value \"1001\" for keydelay: expected a whole number of milliseconds from 0 to "
     "1000"},
    {"NegativeDelay", "{options}\r\nstartdelay=-1\r\n{/options}\r\n", "line 27: bad value \"-1\""},
    {"FractionalDelay", "{options}\r\nexithold=2.5\r\n{/options}\r\n",
     "line 27: bad value \"2.5\""},
    {"EmptyValue", "{options}\r\ncurtain=\r\n{/options}\r\n",
     "line 27: bad value \"\" for curtain: expected on or off"},
    {"BadWord", "{options}\r\nscancodes=yes\r\n{/options}\r\n",
     "expected on, off or strict (scancodes=on|off|strict)"},
    {"SameOptionTwice", "{options}\r\nkeydelay=10\r\nKeyDelay=20\r\n{/options}\r\n",
     "line 28: the option keydelay is given twice (first on line 27)"},
    {"MissingClosingLine", "{options}\r\nkeydelay=10\r\n",
     "the file ended after line 27 without the line {/options} that closes {options} of line 26"},
    {"WalkKeyAbove254", "{options}\r\nwrapkey=255\r\n{/options}\r\n",
     "line 27: bad value \"255\" for wrapkey: expected a virtual-key code from 1 to 254, or none"},
    {"PageSizeAbove400", "{options}\r\npagekey=34\r\npagesize=401\r\n{/options}\r\n",
     "line 28: bad value \"401\" for pagesize: expected a whole number of lines from 1 to 400"},
    {"PageKeyWithoutPageSize", "{options}\r\npagekey=34\r\nkeydelay=60\r\n{/options}\r\n",
     "line 27: pagekey needs pagesize=N"},
    {"PageSizeWithoutPageKey", "{options}\r\npagesize=20\r\n{/options}\r\n",
     "line 27: pagesize needs pagekey=VK"},
    {"PageUpKeyWithoutWrapKey",
     "{options}\r\npageupkey=33\r\npagekey=34\r\npagesize=20\r\n{/options}\r\n",
     "line 27: pageupkey is pressed after wrapkey"},
    {"OneKeyForTwoMoves", "{options}\r\nwrapkey=38\r\npagesize=20\r\npagekey=38\r\n{/options}\r\n",
     "line 29: pagekey and wrapkey are the same key (38)"},
    {"LogNameWithAQuote", "{options}\r\nlog=\"ruskel.log\"\r\n{/options}\r\n",
     "a file name cannot hold"},
};

INSTANTIATE_TEST_SUITE_P(Options, OptionsRefused, ::testing::ValuesIn(kBadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OptionTableTest, EveryOptionShowsWhatItParses) {
  // A value written back by show() must load to the same setting.
  RunOptions changed;
  changed.scancodes = ScanCodes::Strict;
  changed.keydelay = 60;
  changed.joystick = JoystickChoice::Any;
  changed.follow = false;
  changed.log = "run.log";
  changed.pagekey = 34;
  changed.pagesize = 20;
  for (const OptionRow& row : OptionTable()) {
    RunOptions parsed;
    EXPECT_EQ(row.parse(row.show(changed), parsed), std::nullopt) << row.name;
    EXPECT_EQ(row.show(parsed), row.show(changed)) << row.name;
  }
  const auto shown = DescribeOptions(changed);
  EXPECT_THAT(shown, ::testing::Contains("keydelay=60"));
  EXPECT_THAT(shown, ::testing::Contains("closewait=3000 (default)"));
}

}  // namespace
}  // namespace ruskel
