// What "reads as a number" means everywhere in the wrapper, and the roundings
// that turn such a number into a key code, button mask or interval.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ruskel {

// Blanks around allowed, optional sign, decimal digits with an optional
// fraction ("12", " -3 ", "0.5", ".5", "7."). Nothing else: no exponent, no hex.
std::optional<double> ReadNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// Rounded as above; empty when the result lies outside the signed 32-bit range.
std::optional<std::int32_t> ToInt32(double value);

// Reads and rounds; empty when the text is not a number or lies outside lo..hi.
std::optional<std::int32_t> ReadWholeNumber(std::string_view text, std::int32_t lo,
                                            std::int32_t hi);

}  // namespace ruskel
