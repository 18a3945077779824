// The examples of docs/ruskel-check.md are what ruskel-check prints for the
// demo's lconfig.ini. On a mismatch the test prints the text to paste into
// the page.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/text.h"
#include "tools/check/pitfalls.h"
#include "tools/check/plan_report.h"

namespace ruskel::check {
namespace {

std::string ReadSource(const std::string& path) {
  std::ifstream in(std::string(RUSKEL_SOURCE_DIR) + "/" + path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The body of the first ``` block of the page whose first line starts with
// `opening`, each line ended by "\n"; empty when there is none.
std::string DocBlock(const std::string& opening) {
  std::istringstream page(ReadSource("docs/ruskel-check.md"));
  std::string block;
  bool inBlock = false;
  bool wanted = false;
  for (std::string line; std::getline(page, line);) {
    if (line.rfind("```", 0) == 0) {
      if (inBlock && wanted) return block;
      inBlock = !inBlock;
      block.clear();
      wanted = false;
    } else if (inBlock) {
      if (block.empty()) wanted = line.rfind(opening, 0) == 0;
      block += line + "\n";
    }
  }
  return "";
}

// What ruskel-check prints on Linux for `ruskel-check demo/<name> arguments`,
// the file being the demo's with `edit` applied.
std::string CheckOutput(const std::string& shownPath, const std::string& arguments,
                        void (*edit)(std::string&) = nullptr) {
  std::string bytes = ReadSource("demo/lconfig.ini");
  if (edit != nullptr) edit(bytes);
  CheckInput input;
  input.configFile = shownPath;
  input.programDir = ProgramDirOf(shownPath);
  input.argumentText = arguments;
  input.reader = [bytes](const std::string&) {
    FileReadResult result;
    result.ok = true;
    result.bytes = bytes;
    return result;
  };
  const CheckPlan plan = BuildPlan(input);
  if (plan.exitCode != kCheckFileFine) return FormatError(plan);
  return FormatPlan(plan, arguments, FindPitfalls(plan));
}

std::string Refresh(const std::string& printed) {
  return "\nruskel-check prints this; put it in docs/ruskel-check.md:\n" + printed;
}

TEST(DocsExampleTest, TheFullPlanIsWhatTheCheckerPrintsForTheDemoFile) {
  const std::string documented = DocBlock("ruskel-check: demo/lconfig.ini");
  ASSERT_FALSE(documented.empty()) << "no example for demo/lconfig.ini in docs/ruskel-check.md";
  const std::string printed = CheckOutput("demo/lconfig.ini", "-mygame -keyx27 -butx4");
  EXPECT_EQ(documented, printed) << Refresh(printed);
}

TEST(DocsExampleTest, TheBrokenFileIsTheDemoFileWithABlankForASlash) {
  const std::string documented = DocBlock("ruskel-check: broken/lconfig.ini");
  ASSERT_FALSE(documented.empty()) << "no broken example in docs/ruskel-check.md";
  const std::string printed = CheckOutput("broken/lconfig.ini", "", [](std::string& bytes) {
    bytes.replace(bytes.find("40/up"), 5, "40 up");
  });
  EXPECT_EQ(documented, printed) << Refresh(printed);
}

// The game-section excerpt leaves lines out ("  ..."); the rest must stand in
// the checker's output in the same order.
TEST(DocsExampleTest, TheGameSectionExcerptIsPartOfTheCheckersOutput) {
  const std::string documented = DocBlock("sequences");
  ASSERT_FALSE(documented.empty()) << "no game-section example in docs/ruskel-check.md";
  const std::string printed = CheckOutput("demo/lconfig.ini", "-galaxytennis");
  std::size_t from = 0;
  for (const std::string& line : SplitAll(documented, '\n')) {
    if (line.empty() || Trim(line) == "...") continue;
    const std::size_t at = printed.find(line + "\n", from);
    ASSERT_NE(at, std::string::npos) << "\"" << line << "\" is not printed" << Refresh(printed);
    from = at + line.size();
  }
}

}  // namespace
}  // namespace ruskel::check
