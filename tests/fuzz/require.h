// Invariant checks for the fuzz targets: a broken invariant aborts, which
// libFuzzer reports as a crash and saves the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace ruskel::fuzz {

inline void Require(bool holds, std::string_view what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

}  // namespace ruskel::fuzz
