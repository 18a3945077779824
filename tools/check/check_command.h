// What ruskel-check was asked to do: the file to check and the argument text
// ruskel.exe would get.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ruskel::check {

struct CheckCommand {
  // System: "--system [file [arguments]]", the machine's own report, the file
  // and arguments read as for Check; an empty configFile means the file
  // beside the checker. WatchPads: "--watch-pads" and Options:
  // "--options", nothing after either. Windows: "--windows [file [arguments]]",
  // read as System is: the emulator started, its windows listed, closed again.
  // Pixel: "--pixel X,Y [file [arguments]]", the file read as for Windows:
  // the colour at that point of the running emulator's window.
  enum class Kind { Check, Help, Usage, System, WatchPads, Options, Windows, Pixel };
  Kind kind = Kind::Usage;
  std::string configFile;
  std::string argumentText;
  std::string point;  // Pixel: the point as given, read by the pixel check
};

// args: the program's arguments after its name; "--options" alone asks for
// the table of options. rawCommandLine: the process's
// whole command line where the system keeps one (Windows), so that the text
// after the file's path reaches the parser exactly as ruskel.exe would read
// it, blanks and quotes included. Without it the arguments are joined with
// single blanks. "--args TEXT" right after the file gives the text as one
// argument on any system.
CheckCommand ReadCheckCommand(const std::vector<std::string>& args,
                              std::optional<std::string_view> rawCommandLine);

}  // namespace ruskel::check
