// Suggestions for a name that is not known: a rom, an option.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ruskel {

// Levenshtein distance, ignoring ASCII case as the lookup does.
std::size_t EditDistance(std::string_view a, std::string_view b);

// Up to `limit` names near `wanted`, nearest first (list order on ties); a
// name counts as near within a third of the longer name's length, and at
// least 2 edits.
std::vector<std::string> ClosestNames(std::string_view wanted,
                                      const std::vector<std::string>& names, std::size_t limit);

}  // namespace ruskel
