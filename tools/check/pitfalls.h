// Things in a file that loads fine but that hand-edited files get wrong:
// each one a sentence for the cabinet builder.
#pragma once

#include <string>
#include <vector>

#include "tools/check/check_plan.h"

namespace ruskel::check {

inline constexpr std::size_t kSuggestedNames = 3;

// Empty for a broken file: the error says all there is to say then.
std::vector<std::string> FindPitfalls(const CheckPlan& plan);

}  // namespace ruskel::check
