// ruskel-check --options, and the options table of docs/lconfig.md, both
// follow the rows of the option table.
#include "tools/check/option_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "core/options.h"

namespace ruskel::check {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Bare(std::string cell) {
  std::string out;
  for (char c : cell) {
    if (c != '`' && c != '(' && c != ')') out += c;
  }
  return out;
}

// The rows of the table under "| option | values | default | what it does |":
// name -> default, both without their backticks.
std::map<std::string, std::string> DocumentedDefaults() {
  std::ifstream in(RUSKEL_SOURCE_DIR "/docs/lconfig.md");
  std::map<std::string, std::string> defaults;
  bool inTable = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("| option | values | default |", 0) == 0) {
      inTable = true;
    } else if (inTable && line.rfind("| `", 0) == 0) {
      std::vector<std::string> cells;
      std::size_t from = 2;
      for (std::size_t bar; (bar = line.find(" | ", from)) != std::string::npos; from = bar + 3) {
        cells.push_back(line.substr(from, bar - from));
      }
      if (cells.size() >= 3) defaults[Bare(cells[0])] = Bare(cells[2]);
    } else if (inTable && line.rfind("|---", 0) != 0) {
      inTable = false;
    }
  }
  return defaults;
}

TEST(CheckOptionsTest, OneLineForEveryOptionUnderTheHeading) {
  const auto lines = Lines(FormatOptionTable());
  ASSERT_EQ(lines.size(), OptionTable().size() + 1);
  EXPECT_THAT(lines[0], StartsWith("option"));
  EXPECT_THAT(lines[0], HasSubstr("default"));
  const RunOptions defaults;
  for (std::size_t i = 0; i < OptionTable().size(); ++i) {
    const OptionRow& row = OptionTable()[i];
    EXPECT_THAT(lines[i + 1], StartsWith(row.name + " "));
    for (const std::string& part : {row.values, row.show(defaults), row.summary}) {
      EXPECT_THAT(lines[i + 1], HasSubstr(part)) << row.name;
    }
  }
}

TEST(CheckOptionsTest, TheDocumentedTableHasEveryOptionWithItsDefault) {
  const auto documented = DocumentedDefaults();
  const RunOptions defaults;
  for (const OptionRow& row : OptionTable()) {
    const auto it = documented.find(row.name);
    ASSERT_NE(it, documented.end()) << row.name << " is missing from docs/lconfig.md";
    EXPECT_EQ(it->second, Bare(row.show(defaults))) << row.name;
  }
  EXPECT_EQ(documented.size(), OptionTable().size()) << "docs/lconfig.md lists an unknown option";
}

}  // namespace
}  // namespace ruskel::check
