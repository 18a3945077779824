#include "core/log_texts.h"

namespace ruskel {

std::string_view TextAt(Say id) {
  return kLogTexts[static_cast<std::size_t>(id)].text;
}

namespace log_detail {

std::string_view Arg::Digits(long long number) {
  if (number >= 0) return Digits(static_cast<unsigned long long>(number), false);
  // Negated as unsigned: the most negative value has no positive twin.
  return Digits(0ull - static_cast<unsigned long long>(number), true);
}

std::string_view Arg::Digits(unsigned long long number, bool negative) {
  char* end = digits_ + sizeof digits_;
  char* at = end;
  do {
    *--at = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  if (negative) *--at = '-';
  return {at, static_cast<std::size_t>(end - at)};
}

std::string Fill(Say id, std::initializer_list<Arg> args) {
  const std::string_view text = kLogTexts[static_cast<std::size_t>(id)].text;
  std::string out;
  out.reserve(text.size() + 32);
  const Arg* next = args.begin();
  for (std::size_t from = 0;;) {
    const std::size_t at = text.find("{}", from);
    if (at == std::string_view::npos || next == args.end()) {
      out += text.substr(from);
      return out;
    }
    out += text.substr(from, at - from);
    out += next->Text();
    ++next;
    from = at + 2;
  }
}

}  // namespace log_detail
}  // namespace ruskel
