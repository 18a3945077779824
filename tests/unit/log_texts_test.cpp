// The log's wording, and the doc that quotes it.
#include "core/log_texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace ruskel {
namespace {

TEST(LogTextsTest, ArgumentsTakeTheirPlacesInOrder) {
  EXPECT_EQ(Compose<Say::Started>("\"C:\\e.exe\"", "C:\\", 42), "started \"C:\\e.exe\" in C:\\, process 42");
  EXPECT_EQ(Compose<Say::GameSectionApplied>("mygame", 40, "keydelay=60"),
            "game section {game mygame} of line 40 applied: keydelay=60");
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
    EXPECT_TRUE(found) << "docs/troubleshooting.md quotes a log line no entry of kLogTexts writes:\n  "
                       << text;
  }
  EXPECT_GT(quoted, 10);
}

}  // namespace
}  // namespace ruskel
