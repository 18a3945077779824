// The emulator's own life before the close: a launcher that hands over to the
// real emulator and goes, and an emulator that ends by itself.
#pragma once

#include <cstdint>
#include <optional>

#include "core/mainmod.h"
#include "core/run_end.h"

namespace ruskel {

// A started process that ends before any window has come may be a launcher
// handing over to the real emulator; if no window comes within this long,
// the emulator is taken to have failed.
inline constexpr std::uint64_t kHandOverMs = 30000;

class EmulatorLife {
 public:
  enum class Seen {
    Nothing,        // not the emulator, or a launcher handing over
    EndedByItself,  // follow=on: the run ends (EndedByItself())
    Gone,           // follow=off: the run goes on, waiting for the exit key
  };

  // A watched process has ended (outside the close).
  Seen ProcessEnded(Mainmod& m, ProcessId process, std::uint64_t now);
  // The end of the run when a launcher handed over and no window came.
  std::optional<RunEnd> HandOverFailed(std::uint64_t now) const;

  // The emulator ended by itself and the run went on.
  bool Gone() const { return gone_; }
  static RunEnd EndedByItself() { return {kExitEmulatorEnded, Compose<Say::EndedByItself>()}; }

 private:
  std::optional<std::uint64_t> startedEndedAt_;  // before any window was found
  bool gone_ = false;
};

}  // namespace ruskel
