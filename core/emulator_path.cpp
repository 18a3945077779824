#include "core/emulator_path.h"

namespace ruskel {
namespace {

bool HasExtension(const std::string& name) {
  const std::size_t dot = name.find_last_of('.');
  const std::size_t slash = name.find_last_of("\\/");
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

}  // namespace

ProgramLookup FindEmulatorProgram(const std::string& programDir, const std::string& command,
                                  const std::function<bool(const std::string&)>& fileExists) {
  ProgramLookup lookup;
  auto tryName = [&](const std::string& name, const std::string& arguments) {
    if (name.empty()) return false;
    std::string path = programDir + "\\" + name;
    if (!HasExtension(name)) path += ".exe";
    lookup.tried.push_back(path);
    if (!fileExists(path)) return false;
    lookup.found = EmulatorProgram{path, "\"" + path + "\"" + arguments};
    return true;
  };

  if (!command.empty() && command.front() == '"') {
    const std::size_t close = command.find('"', 1);
    if (close != std::string::npos) {
      tryName(command.substr(1, close - 1), command.substr(close + 1));
      return lookup;
    }
  }
  // Each blank may end the program's name; the shortest name that is a file
  // wins, as CreateProcess has it, then the whole command.
  for (std::size_t blank = command.find(' '); blank != std::string::npos;
       blank = command.find(' ', blank + 1)) {
    if (tryName(command.substr(0, blank), command.substr(blank))) return lookup;
  }
  tryName(command, "");
  return lookup;
}

}  // namespace ruskel
