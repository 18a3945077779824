// The checker's console text: a run's plan, or the wrapper's error.
#pragma once

#include <string>
#include <vector>

#include "tools/check/check_plan.h"

namespace ruskel::check {

// "Return down, Return up"; "nothing (no steps)" for an empty sequence.
std::string DescribeKeys(const SequencePlan& sequence);

std::string FormatPlan(const CheckPlan& plan, const std::string& arguments,
                       const std::vector<std::string>& warnings);

// The message ruskel.exe would show, as it would show it.
std::string FormatError(const CheckPlan& plan);

}  // namespace ruskel::check
