#include "platform/argument_text.h"

namespace ruskel {

std::string CutProgramName(std::string_view commandLine) {
  std::size_t pos = 0;
  if (!commandLine.empty() && commandLine.front() == '"') {
    std::size_t close = commandLine.find('"', 1);
    pos = close == std::string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (pos < commandLine.size() && commandLine[pos] != ' ' && commandLine[pos] != '\t') ++pos;
  }
  while (pos < commandLine.size() && (commandLine[pos] == ' ' || commandLine[pos] == '\t')) ++pos;
  return std::string(commandLine.substr(pos));
}

}  // namespace ruskel
