#include "core/text.h"


namespace ruskel {

std::string Trim(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::vector<std::string> SplitAll(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
}

std::string_view Left(std::string_view text, std::size_t len) {
  return text.substr(0, len);
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t kMaxShown = 80;
  std::string out = "\"";
  std::size_t shown = 0;
  for (char c : text) {
    if (++shown > kMaxShown) {
      out += "...";
      break;
    }
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 32 || u == 127) {
      out += "\\x" + Hex(u, 2);
    } else {
      out += c;
    }
  }
  out += "\"";
  return out;
}

// Hand-made rather than printf's: the printf family brings a float formatter
// of some 100 KB into the exe for these few numbers.
std::string Hex(std::uint32_t value, std::size_t minDigits) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[value % 16]);
    value /= 16;
  } while (value != 0);
  if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
  return digits;
}

std::string PaddedNumber(std::uint64_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), ' ');
  return digits;
}

}  // namespace ruskel
