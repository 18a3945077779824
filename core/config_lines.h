// How lconfig.ini is cut into lines: a line ends at CR LF, at LF or at a lone
// CR, in any mix, and every line is trimmed of blanks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ruskel {

// How a line ended; None only for a last line without an ending.
enum class LineEnd { None, CrLf, Lf, Cr };

// Hands out the lines one at a time, counting line numbers.
class ConfigLineReader {
 public:
  explicit ConfigLineReader(std::string_view bytes) : bytes_(bytes) {}

  bool Next(std::string& line);
  int LineNumber() const { return lineNumber_; }
  // The ending of the line Next handed out last.
  LineEnd LastEnd() const { return lastEnd_; }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
  int lineNumber_ = 0;
  LineEnd lastEnd_ = LineEnd::None;
};

// All lines at once; line n of the file is element n - 1.
std::vector<std::string> ConfigLines(std::string_view bytes);

// The ending of every line, in the same order.
std::vector<LineEnd> ConfigLineEnds(std::string_view bytes);

}  // namespace ruskel
