// The {options} section: good and bad lines, and what they set.
#include "core/options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/config_loader.h"
#include "run_harness.h"

namespace ruskel {

// A failing case names its option, not its bytes.
void PrintTo(const OptionRow& row, std::ostream* out) {
  *out << row.name;
}

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
     [](const RunOptions& o) { EXPECT_EQ(DescribeOptions(o), DescribeOptions(RunOptions{})); }},
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

std::string OptionsSection(const std::string& line) {
  return "{options}\r\n" + line + "\r\n{/options}\r\n";
}

// The walk options that load only beside others: those others, for a value
// that turns the option on.
std::vector<std::string> NeededBeside(const std::string& name, const std::string& value) {
  if (value == "none") return {};
  if (name == "pagekey") return {"pagesize=20"};
  if (name == "pagesize") return {"pagekey=34"};
  if (name == "pageupkey") return {"pagekey=34", "pagesize=20", "wrapkey=38"};
  return {};
}

class EveryOption : public ::testing::TestWithParam<OptionRow> {};

// Each value the row names sets that option and no other: a row wired to
// another option's field shows up here.
TEST_P(EveryOption, EachValueItNamesSetsItAndNothingElse) {
  const OptionRow& row = GetParam();
  const RunOptions defaults;
  for (const std::string& value : row.samples) {
    RunState s;
    std::string lines = row.name + "=" + value;
    const std::vector<std::string> beside = NeededBeside(row.name, value);
    for (const std::string& line : beside) lines += "\r\n" + line;
    ASSERT_EQ(ParseConfig(WithTail(OptionsSection(lines)), s), std::nullopt) << value;
    EXPECT_EQ(row.show(s.Options), value);
    for (const OptionRow& other : OptionTable()) {
      const bool set = std::any_of(beside.begin(), beside.end(), [&](const std::string& line) {
        return line.rfind(other.name + "=", 0) == 0;
      });
      if (other.name == row.name || set) continue;
      EXPECT_EQ(other.show(s.Options), other.show(defaults)) << value;
    }
  }
}

TEST_P(EveryOption, AValueItDoesNotNameIsRefusedWithTheValuesItTakes) {
  const OptionRow& row = GetParam();
  RunState s;
  const auto error = ParseConfig(WithTail(OptionsSection(row.name + "=?")), s);
  ASSERT_TRUE(error.has_value());
  EXPECT_THAT(*error, HasSubstr("bad value \"?\" for " + row.name + ": "));
  EXPECT_THAT(*error, HasSubstr("(" + row.name + "=" + row.values + ")"));
}

INSTANTIATE_TEST_SUITE_P(Options, EveryOption, ::testing::ValuesIn(OptionTable()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace ruskel
