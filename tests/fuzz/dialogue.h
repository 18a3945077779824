// Drives a simulated run through the window wait and the keyboard dialogue,
// however long the wait ticks are, so the exit inputs can be timed after it.
#pragma once

#include <cstdint>

#include "core/mainmod.h"
#include "fake_platform.h"
#include "require.h"

namespace ruskel::fuzz {

// The window exists from the start, so the dialogue must be over well within
// any focus wait the driver allows itself, plus the time its keys take: a
// long list walked line by line is long, not stuck.
inline constexpr std::uint64_t kDialogueDeadlineMs = 10000;
inline constexpr std::uint64_t kStepBoundMs = 20;  // a paced down or up, with slack

// Advances the clock a millisecond at a time until Timkey has stopped (the
// sequences are played) or the process has ended.
inline void RunDialogue(FakePlatform& os, std::uint64_t keySteps = 0) {
  const int timkey = static_cast<int>(TimerId::Timkey);
  const std::uint64_t deadline = kDialogueDeadlineMs + keySteps * kStepBoundMs;
  for (std::uint64_t t = os.now() + 1; os.TimerRunning(timkey) && !os.exitCode(); ++t) {
    Require(t <= deadline, "a window that is present gets its keys");
    os.RunUntil(t);
  }
}

}  // namespace ruskel::fuzz
