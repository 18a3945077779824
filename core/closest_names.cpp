#include "core/closest_names.h"

#include <algorithm>
#include <numeric>

#include "core/text.h"

namespace ruskel {

std::size_t EditDistance(std::string_view a, std::string_view b) {
  const std::string x = UpperAscii(a);
  const std::string y = UpperAscii(b);
  std::vector<std::size_t> row(y.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (std::size_t i = 1; i <= x.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= y.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[y.size()];
}

std::vector<std::string> ClosestNames(std::string_view wanted,
                                      const std::vector<std::string>& names, std::size_t limit) {
  struct Candidate {
    std::size_t distance;
    std::size_t order;
  };
  std::vector<Candidate> near;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::size_t distance = EditDistance(wanted, names[i]);
    const std::size_t allowed =
        std::max<std::size_t>(2, std::max(wanted.size(), names[i].size()) / 3);
    if (distance <= allowed) near.push_back({distance, i});
  }
  std::stable_sort(near.begin(), near.end(),
                   [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
  std::vector<std::string> out;
  for (std::size_t i = 0; i < near.size() && i < limit; ++i) out.push_back(names[near[i].order]);
  return out;
}

}  // namespace ruskel
