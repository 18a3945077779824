#include "driver/emulator_life.h"

#include "core/run_log.h"
#include "core/window_match.h"

namespace ruskel {

EmulatorLife::Seen EmulatorLife::ProcessEnded(Mainmod& m, ProcessId process, std::uint64_t now) {
  const RunState& s = m.State;
  // Before its window is found the started process may be a launcher that
  // hands over to the real emulator and goes; with title "null" it is the
  // emulator itself.
  const ProcessId followed = s.EmulatorProcess != 0 ? s.EmulatorProcess
                             : !LooksForWindow(s)   ? s.StartedProcess
                                                    : 0;
  if (followed == 0 && process == s.StartedProcess && s.Options.follow) {
    Log<Say::StartedProcessEnded>(m, kHandOverMs / 1000);
    startedEndedAt_ = now;
    return Seen::Nothing;
  }
  if (process != followed || process == 0) return Seen::Nothing;
  if (s.Options.follow) return Seen::EndedByItself;
  Log<Say::EndedWaitingForExitKey>(m);
  gone_ = true;
  return Seen::Gone;
}

std::optional<RunEnd> EmulatorLife::HandOverFailed(std::uint64_t now) const {
  if (!startedEndedAt_ || now - *startedEndedAt_ < kHandOverMs) return std::nullopt;
  return RunEnd{kExitEmulatorEnded, Compose<Say::NoWindowCame>()};
}

}  // namespace ruskel
