#include "core/config_lines.h"

#include "core/text.h"

namespace ruskel {

bool ConfigLineReader::Next(std::string& line) {
  if (pos_ >= bytes_.size()) return false;
  std::size_t end = bytes_.find('\r', pos_);
  if (end == std::string_view::npos) end = bytes_.size();
  line = Trim(bytes_.substr(pos_, end - pos_));
  pos_ = end;
  if (pos_ < bytes_.size()) {
    ++pos_;  // the CR
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  }
  ++lineNumber_;
  return true;
}

bool ConfigLineReader::HasUnixLineEndings() const {
  return bytes_.find('\n') != std::string_view::npos && bytes_.find('\r') == std::string_view::npos;
}

std::vector<std::string> ConfigLines(std::string_view bytes) {
  std::vector<std::string> lines;
  ConfigLineReader reader(bytes);
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  return lines;
}

}  // namespace ruskel
