// Wall-clock milliseconds since the Unix epoch, the timestamp of the demo
// emulator's log and of the test tool; under Wine it matches Linux time, so
// the suite can compare it with its own clock.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ruskel::demo {

inline std::int64_t EpochMs() {
  // Milliseconds between 1601-01-01 (FILETIME origin) and 1970-01-01.
  constexpr std::int64_t kUnixEpochInFileTimeMs = 11644473600000LL;
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  return static_cast<std::int64_t>(ticks.QuadPart / 10000) - kUnixEpochInFileTimeMs;
}

}  // namespace ruskel::demo
