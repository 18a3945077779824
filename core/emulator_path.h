// Where the emulator's program is: looked up only under ProgramDir, never cut
// from ProgramDir's own blanks and never searched for on the system path.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ruskel {

struct EmulatorProgram {
  std::string path;         // ProgramDir\program, for lpApplicationName
  std::string commandLine;  // the program quoted, then the arguments unchanged
};

struct ProgramLookup {
  std::optional<EmulatorProgram> found;
  std::vector<std::string> tried;  // every path looked at, in order
};

// Reads the command as CreateProcess reads a command line (a quoted program
// name, or the shortest prefix ending at a blank that names a file, ".exe"
// added when the name has no extension), but only as paths under programDir.
ProgramLookup FindEmulatorProgram(const std::string& programDir, const std::string& command,
                                  const std::function<bool(const std::string&)>& fileExists);

}  // namespace ruskel
