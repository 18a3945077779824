// The checks that start or look at the emulator run no timers and end by
// returning; nothing calls the host.
#pragma once

#include <cstdlib>

#include "core/mainmod.h"

namespace ruskel::check {

class NoTimers : public TimerHost {
 public:
  void Create() override {}
  void Start(TimerId) override {}
  void Stop(TimerId) override {}
  void SetInterval(TimerId, std::uint32_t) override {}
  std::uint32_t Interval(TimerId) const override { return 0; }
  void BeginRun() override {}
  [[noreturn]] void Finish(const RunEnd& end) override { std::exit(end.exitCode); }
};

}  // namespace ruskel::check
