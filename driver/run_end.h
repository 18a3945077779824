// How a run ends, as a part reports it: the exit code, and why in the log's words.
#pragma once

#include <string>

namespace ruskel {

struct RunEnd {
  int exitCode = 0;
  std::string why;
};

}  // namespace ruskel
