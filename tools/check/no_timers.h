// What the checks that start or look at the emulator share: they run no
// timers and end by returning (nothing calls the host), and they start from
// the dry run's record without its pretend emulator.
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

// The dry run's pretend emulator is not a real one, and nothing is logged.
inline void ForgetDryRunEmulator(RunState& state) {
  state.StartedProcess = 0;
  state.EmulatorProcess = 0;
  state.EmulatorWindow = 0;
  state.LogPath.clear();
}

}  // namespace ruskel::check
