#include "core/number.h"

#include <cmath>
#include <string>

namespace ruskel {

std::optional<double> ReadNumber(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  std::string_view body = text.substr(begin, end - begin);

  bool negative = false;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  std::size_t digits = 0;
  std::size_t points = 0;
  for (char c : body) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || points > 1) return std::nullopt;

  // Read by hand: locale-independent, unlike strtod, and without the 30 KB
  // of from_chars' float parser. Every caller rounds to a whole number, so
  // the fraction needs no more than 18 digits: past them no digit can move a
  // value across a half.
  double value = 0;
  std::size_t at = 0;
  for (; at < body.size() && body[at] != '.'; ++at) value = value * 10 + (body[at] - '0');
  std::uint64_t fraction = 0;
  double scale = 1;
  for (++at; at < body.size() && scale < 1e18; ++at) {
    fraction = fraction * 10 + static_cast<std::uint64_t>(body[at] - '0');
    scale *= 10;
  }
  value += static_cast<double>(fraction) / scale;
  return negative ? -value : value;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<std::int32_t> ToInt32(double value) {
  double rounded = RoundHalfEven(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

std::optional<std::int32_t> ReadWholeNumber(std::string_view text, std::int32_t lo,
                                            std::int32_t hi) {
  auto number = ReadNumber(text);
  if (!number) return std::nullopt;
  auto whole = ToInt32(*number);
  if (!whole || *whole < lo || *whole > hi) return std::nullopt;
  return whole;
}

}  // namespace ruskel
