#include "core/config_lines.h"

#include "core/text.h"

namespace ruskel {

bool ConfigLineReader::Next(std::string& line) {
  if (pos_ >= bytes_.size()) return false;
  std::size_t end = bytes_.find_first_of("\r\n", pos_);
  if (end == std::string_view::npos) end = bytes_.size();
  line = Trim(bytes_.substr(pos_, end - pos_));
  pos_ = end;
  lastEnd_ = LineEnd::None;
  if (pos_ < bytes_.size()) {
    if (bytes_[pos_] == '\n') {
      lastEnd_ = LineEnd::Lf;
    } else if (pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') {
      lastEnd_ = LineEnd::CrLf;
      ++pos_;
    } else {
      lastEnd_ = LineEnd::Cr;
    }
    ++pos_;
  }
  ++lineNumber_;
  return true;
}

std::vector<std::string> ConfigLines(std::string_view bytes) {
  std::vector<std::string> lines;
  ConfigLineReader reader(bytes);
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  return lines;
}

std::vector<LineEnd> ConfigLineEnds(std::string_view bytes) {
  std::vector<LineEnd> ends;
  ConfigLineReader reader(bytes);
  std::string line;
  while (reader.Next(line)) ends.push_back(reader.LastEnd());
  return ends;
}

}  // namespace ruskel
