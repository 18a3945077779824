// The log's wording, and the doc that quotes it.
#include "core/log_texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace ruskel {
namespace {

TEST(LogTextsTest, ArgumentsTakeTheirPlacesInOrder) {
  EXPECT_EQ(Compose<Say::Started>("\"C:\\e.exe\"", "C:\\", 42),
            "started \"C:\\e.exe\" in C:\\, process 42");
  EXPECT_EQ(Compose<Say::GameSectionApplied>("mygame", 40, "keydelay=60"),
            "game section {game mygame} of line 40 applied: keydelay=60");
  // Braces of the configuration's own tags are text, and an argument is never filled in again.
  EXPECT_EQ(Compose<Say::ConfigGameNotListed>("{}"), "{game {}} names no game of {gamelist}");
  EXPECT_EQ(Compose<Say::ConfigAtLine>("lconfig.ini", 3, "{handles} and {}"),
            "lconfig.ini line 3: {handles} and {}.");
}

// A line of the table as a pattern: its arguments may be anything.
std::regex PatternOf(std::string_view text) {
  std::string pattern;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "{}") == 0) {
      pattern += ".*";
      ++i;
    } else if (std::string("\\^$.|?*+()[]{}").find(text[i]) != std::string::npos) {
      pattern += '\\';
      pattern += text[i];
    } else {
      pattern += text[i];
    }
  }
  return std::regex(pattern);
}

// Every line of the example logs in docs/troubleshooting.md ("    412 ms  window found, ...")
// is a line the run can write: a rewording in the table fails here, not in a reader's hands.
TEST(LogTextsTest, EveryLogLineTheTroubleshootingDocQuotesIsInTheTable) {
  std::ifstream doc(RUSKEL_SOURCE_DIR "/docs/troubleshooting.md");
  ASSERT_TRUE(doc) << "docs/troubleshooting.md not found";
  std::vector<std::regex> patterns;
  for (const LogText& entry : kLogTexts) patterns.push_back(PatternOf(entry.text));
  const std::regex logLine(R"(^\s*\d+ ms  (.*)$)");
  int quoted = 0;
  for (std::string line; std::getline(doc, line);) {
    std::smatch match;
    if (!std::regex_match(line, match, logLine)) continue;
    ++quoted;
    const std::string text = match[1];
    bool found = false;
    for (const std::regex& pattern : patterns) found = found || std::regex_match(text, pattern);
    EXPECT_TRUE(found)
        << "docs/troubleshooting.md quotes a log line no entry of kLogTexts writes:\n  " << text;
  }
  EXPECT_GT(quoted, 10);
}

// Two ids with one wording would make a log line ambiguous to read back.
TEST(LogTextsTest, NoTwoEntriesShareAText) {
  std::map<std::string_view, Say> seen;
  for (const LogText& entry : kLogTexts) {
    const auto [at, fresh] = seen.emplace(entry.text, entry.id);
    EXPECT_TRUE(fresh) << "ids " << static_cast<int>(at->second) << " and "
                       << static_cast<int>(entry.id) << " share the text \"" << entry.text << '"';
  }
}

// A phrase the doc quotes in backticks: its characters, and the stand-ins the
// doc writes for any text ("...", (...), N, <title>, "<title>").
struct PhraseChar {
  bool any;
  char c;
};

std::vector<PhraseChar> PhraseOf(const std::string& quoted) {
  static const std::regex standIn(R"re("\.\.\."|"<[^>]*>"|\(\.\.\.\)|<[^>]*>|\.\.\.|\bN\b)re");
  std::vector<PhraseChar> phrase;
  std::size_t from = 0;
  for (auto it = std::sregex_iterator(quoted.begin(), quoted.end(), standIn);
       it != std::sregex_iterator(); ++it) {
    for (std::size_t i = from; i < static_cast<std::size_t>(it->position()); ++i) {
      phrase.push_back({false, quoted[i]});
    }
    phrase.push_back({true, 0});
    from = static_cast<std::size_t>(it->position() + it->length());
  }
  for (std::size_t i = from; i < quoted.size(); ++i) phrase.push_back({false, quoted[i]});
  return phrase;
}

// Whether phrase[i..] can be read in some line of text from text[j] on: a "{}"
// of the text takes any part of the phrase, a stand-in of the phrase any part
// of the text.
class PhraseMatch {
 public:
  PhraseMatch(const std::vector<PhraseChar>& phrase, std::string_view text)
      : phrase_(phrase),
        text_(text),
        memo_(2 * (phrase.size() + 1) * (text.size() + 1), kUnknown) {}

  // The phrase starts on a character of the text itself, not inside an argument.
  bool Anywhere() {
    if (phrase_.empty() || phrase_.front().any) return false;
    for (std::size_t j = 0; j < text_.size(); ++j) {
      if (IsSlot(j)) {
        ++j;
        continue;
      }
      if (From(0, j, false)) return true;
    }
    return false;
  }

 private:
  static constexpr char kUnknown = 2;

  bool IsSlot(std::size_t j) const { return text_.compare(j, 2, "{}") == 0; }

  bool OneWordFrom(std::size_t i) const {
    for (; i < phrase_.size(); ++i) {
      if (!phrase_[i].any && phrase_[i].c == ' ') return false;
    }
    return true;
  }

  // inArgument: phrase[i] is not the first the argument at text[j] takes.
  bool From(std::size_t i, std::size_t j, bool inArgument) {
    if (i == phrase_.size()) return true;
    char& known = memo_[((inArgument ? 1 : 0) * (phrase_.size() + 1) + i) * (text_.size() + 1) + j];
    if (known == kUnknown) known = Step(i, j, inArgument) ? 1 : 0;
    return known == 1;
  }

  bool Step(std::size_t i, std::size_t j, bool inArgument) {
    if (j == text_.size()) return phrase_[i].any && From(i + 1, j, false);
    if (IsSlot(j)) {
      // An argument may take the rest of the phrase only at the end of the
      // line or as one word: else any ending would read ("exit key 27 hit").
      if (j + 2 == text_.size() || (!inArgument && OneWordFrom(i))) return true;
      return From(i, j + 2, false) || (i + 1 < phrase_.size() && From(i + 1, j, true));
    }
    if (phrase_[i].any) return From(i + 1, j, false) || From(i, j + 1, false);
    return phrase_[i].c == text_[j] && From(i + 1, j + 1, false);
  }

  const std::vector<PhraseChar>& phrase_;
  std::string_view text_;
  std::vector<char> memo_;
};

bool SomeEntryReads(const std::string& quoted) {
  const std::vector<PhraseChar> phrase = PhraseOf(quoted);
  for (const LogText& entry : kLogTexts) {
    if (PhraseMatch(phrase, entry.text).Anywhere()) return true;
  }
  return false;
}

TEST(LogTextsTest, PhrasesAreFoundInTheTableAsTheDocQuotesThem) {
  EXPECT_TRUE(SomeEntryReads("exit key 27 pressed"));
  EXPECT_TRUE(SomeEntryReads("still running after N ms; WM_CLOSE posted"));
  EXPECT_TRUE(SomeEntryReads("rom \"...\" is not in the game list"));
  EXPECT_TRUE(SomeEntryReads("exit key none (...)"));
  EXPECT_TRUE(
      SomeEntryReads("front end: window \"<title>\" of process <pid> brought to the front"));
  EXPECT_TRUE(SomeEntryReads("exit key none"));
  EXPECT_FALSE(SomeEntryReads("exit key 27 released"));
  EXPECT_FALSE(SomeEntryReads("the emulator has left"));
  // Text inside an argument alone is not the table's.
  EXPECT_FALSE(SomeEntryReads("C:\\cab\\demoemu.exe"));
}

// Backticked phrases that are not the run log's own lines.
const std::set<std::string> kNotLogLines = {
    // a walk as DescribeWalk words it, inside the "rom found" line
    "1 x Up, 5 x Page Up, 1 x Down, Return",
};

// Every backticked phrase with a blank in the doc's paragraphs about the log
// (the section "Reading a log", and any paragraph that names the log) is part
// of a line the run writes: `exit key 27 pressed`, `the emulator ended by itself`.
TEST(LogTextsTest, EveryLogPhraseTheTroubleshootingDocQuotesIsInTheTable) {
  std::ifstream doc(RUSKEL_SOURCE_DIR "/docs/troubleshooting.md");
  ASSERT_TRUE(doc) << "docs/troubleshooting.md not found";
  const std::regex mentionsLog(R"(\b[Ll]og(ged)?\b)");
  const std::regex startsBlock(R"(^\s*(- |\d+\. |#))");
  const std::regex backticked("`([^`]+)`");
  const std::regex command("^(ruskel-check|ruskel\\.exe|taskkill)");
  int checked = 0;
  bool inFence = false;
  bool logSection = false;
  std::string block;
  const auto checkBlock = [&] {
    if (logSection || std::regex_search(block, mentionsLog)) {
      for (auto it = std::sregex_iterator(block.begin(), block.end(), backticked);
           it != std::sregex_iterator(); ++it) {
        const std::string phrase = (*it)[1];
        if (phrase.find(' ') == std::string::npos || std::regex_search(phrase, command) ||
            kNotLogLines.count(phrase) != 0) {
          continue;
        }
        ++checked;
        EXPECT_TRUE(SomeEntryReads(phrase)) << "docs/troubleshooting.md quotes `" << phrase
                                            << "`, which no entry of kLogTexts writes";
      }
    }
    block.clear();
  };
  for (std::string line; std::getline(doc, line);) {
    if (line.rfind("```", 0) == 0) {
      inFence = !inFence;
      continue;
    }
    if (inFence) continue;
    const bool blank = line.find_first_not_of(" \t\r") == std::string::npos;
    if (blank || std::regex_search(line, startsBlock)) checkBlock();
    if (line.rfind("## ", 0) == 0) logSection = line == "## Reading a log";
    if (blank) continue;
    const std::size_t text = line.find_first_not_of(' ');
    if (!block.empty()) block += ' ';
    block.append(line, text, std::string::npos);
  }
  checkBlock();
  EXPECT_GT(checked, 15);
}

}  // namespace
}  // namespace ruskel
