// Cuts the program's own name off a raw Windows command line.
#pragma once

#include <string>
#include <string_view>

namespace ruskel {

// "C:\dir\ruskel.exe" -a, C:\dir\ruskel.exe -a and ruskel -a all give "-a":
// a quoted name ends at its closing quote, an unquoted one at the first blank
// or tab; the blanks and tabs that separate it from the arguments go too.
std::string CutProgramName(std::string_view commandLine);

}  // namespace ruskel
