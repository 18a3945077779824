#include "tools/check/option_table.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/options.h"

namespace ruskel::check {

std::string FormatOptionTable() {
  using Line = std::array<std::string, 4>;
  std::vector<Line> lines = {{"option", "values", "default", "what it does"}};
  const RunOptions defaults;
  for (const OptionRow& row : OptionTable()) {
    lines.push_back({row.name, row.values, row.show(defaults), row.summary});
  }
  std::array<std::size_t, 3> widths{};
  for (const Line& line : lines) {
    for (std::size_t i = 0; i < widths.size(); ++i) widths[i] = std::max(widths[i], line[i].size());
  }
  std::string out;
  for (const Line& line : lines) {
    for (std::size_t i = 0; i < widths.size(); ++i) {
      out += line[i] + std::string(widths[i] - line[i].size() + 2, ' ');
    }
    out += line[3] + "\n";
  }
  return out;
}

}  // namespace ruskel::check
