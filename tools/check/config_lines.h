// The lines of lconfig.ini as the wrapper's reader sees them, for the checks
// that look at text the reader skips.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ruskel::check {

// Lines end at CR or CR LF (a lone LF stays inside its line); every line is
// trimmed of blanks. Line n of the file is element n - 1.
std::vector<std::string> ConfigLines(std::string_view bytes);

}  // namespace ruskel::check
