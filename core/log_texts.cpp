#include "core/log_texts.h"

namespace ruskel::log_detail {

std::string Fill(std::string_view text, const std::string* args, std::size_t count) {
  std::string out;
  out.reserve(text.size() + 32);
  std::size_t next = 0;
  for (std::size_t from = 0;;) {
    const std::size_t at = text.find("{}", from);
    if (at == std::string_view::npos || next == count) {
      out += text.substr(from);
      return out;
    }
    out += text.substr(from, at - from);
    out += args[next++];
    from = at + 2;
  }
}

}  // namespace ruskel::log_detail
