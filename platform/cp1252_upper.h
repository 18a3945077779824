// Upper-casing of Windows-1252 text, as Windows does it for that code page.
#pragma once

#include <string>
#include <string_view>

namespace ruskel {

// a-z, à-þ (but not ÷), š, œ, ž and ÿ become their capitals; ß and µ, which
// have no capital in the code page, and every other byte stay as they are.
std::string UpperCp1252(std::string_view text);

}  // namespace ruskel
