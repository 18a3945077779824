// Drives a simulated run through the window wait and the keyboard dialogue,
// however long the wait ticks are, so the exit inputs can be timed after it.
#pragma once

#include <cstdint>

#include "core/mainmod.h"
#include "fake_platform.h"
#include "require.h"

namespace ruskel::fuzz {

// The window exists from the start, so the dialogue must be over well within
// any focus wait the driver allows itself.
inline constexpr std::uint64_t kDialogueDeadlineMs = 10000;

// Advances the clock a millisecond at a time until Timkey has stopped (the
// sequences are played) or the process has ended.
inline void RunDialogue(FakePlatform& os) {
  const int timkey = static_cast<int>(TimerId::Timkey);
  for (std::uint64_t t = os.now() + 1; os.TimerRunning(timkey) && !os.exitCode(); ++t) {
    Require(t <= kDialogueDeadlineMs, "a window that is present gets its keys");
    os.RunUntil(t);
  }
}

}  // namespace ruskel::fuzz
