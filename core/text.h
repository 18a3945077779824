// Small text helpers with the wrapper's own rules: only blanks (code 32) are
// trimmed, and upper-casing touches ASCII letters only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ruskel {

std::string Trim(std::string_view text);
std::string UpperAscii(std::string_view text);
// Every separator splits; empty pieces are kept ("a--b" gives a, "", b).
std::vector<std::string> SplitAll(std::string_view text, char separator);
// First len characters, or the whole text when it is shorter.
std::string_view Left(std::string_view text, std::size_t len);
// Quotes text for an error message, showing control characters as escapes.
std::string Quoted(std::string_view text);
// Upper-case hex digits of value, at least minDigits of them ("0A" for 10, 2).
std::string Hex(std::uint32_t value, std::size_t minDigits = 1);
// value right-aligned in width characters, as a column of a log.
std::string PaddedNumber(std::uint64_t value, std::size_t width);

}  // namespace ruskel
