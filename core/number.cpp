#include "core/number.h"

#include <charconv>
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

  // from_chars is locale-independent, unlike strtod; it wants a digit first.
  std::string normal(body);
  if (normal.front() == '.') normal.insert(normal.begin(), '0');
  if (normal.back() == '.') normal.pop_back();
  double value = 0;
  auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (ptr != normal.data() + normal.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Plain digits overflow only with a whole part; a tiny fraction is just 0.
    const std::string whole = normal.substr(0, normal.find('.'));
    value = whole.find_first_not_of('0') == std::string::npos ? 0.0 : HUGE_VAL;
  } else if (ec != std::errc()) {
    return std::nullopt;
  }
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
