// Builds a checker plan from file bytes held in memory, as the tests need.
#pragma once

#include <string>

#include "tools/check/check_plan.h"

namespace ruskel::check {

// Only configFile can be read; any other path fails like a missing file.
inline CheckPlan PlanFor(const std::string& file, const std::string& arguments,
                         const std::string& configFile = "lconfig.ini",
                         const std::string& programDir = "C:\\Games\\ruskel") {
  CheckInput input;
  input.configFile = configFile;
  input.programDir = programDir;
  input.argumentText = arguments;
  input.reader = [file, configFile](const std::string& path) {
    FileReadResult result;
    result.ok = path == configFile;
    result.bytes = file;
    result.error = "no such file";
    return result;
  };
  return BuildPlan(input);
}

}  // namespace ruskel::check
