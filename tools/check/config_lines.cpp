#include "tools/check/config_lines.h"

#include "core/text.h"

namespace ruskel::check {

std::vector<std::string> ConfigLines(std::string_view bytes) {
  std::vector<std::string> lines;
  if (bytes.empty()) return lines;
  std::vector<std::string> pieces = SplitAll(bytes, '\r');
  // A file that ends with its line ending has no line after it.
  if (pieces.back().empty() || pieces.back() == "\n") pieces.pop_back();
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    std::string_view piece = pieces[i];
    if (i > 0 && !piece.empty() && piece.front() == '\n') piece.remove_prefix(1);  // CR LF
    lines.push_back(Trim(piece));
  }
  return lines;
}

}  // namespace ruskel::check
