// How lconfig.ini is cut into lines: a line ends at CR or CR LF (a lone LF
// stays inside its line), and every line is trimmed of blanks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ruskel {

// Hands out the lines one at a time, counting line numbers.
class ConfigLineReader {
 public:
  explicit ConfigLineReader(std::string_view bytes) : bytes_(bytes) {}

  bool Next(std::string& line);
  int LineNumber() const { return lineNumber_; }

  // A file with line feeds and no carriage return is one long line to this
  // reader; saying so is more useful than "tag not found".
  bool HasUnixLineEndings() const;

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
  int lineNumber_ = 0;
};

// All lines at once; line n of the file is element n - 1.
std::vector<std::string> ConfigLines(std::string_view bytes);

}  // namespace ruskel
