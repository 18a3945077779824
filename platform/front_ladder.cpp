#include "platform/front_ladder.h"

namespace ruskel {

FrontPlan FrontLadder::Refused(std::uint64_t window, bool topmost, std::uint64_t nowMs) {
  if (window != window_) {
    window_ = window;
    inSpell_ = 0;
  }
  // The first refusal climbs at once, so that a hand-over is not slowed.
  const bool due = inSpell_ == 0 || nowMs - lastStrongMs_ >= kStrongRungEveryMs;
  if (!due || inSpell_ >= kStrongRungCap) return {};
  ++inSpell_;
  ++strongClimbs_;
  lastStrongMs_ = nowMs;
  return {true, true, !topmost};
}

void FrontLadder::Landed(std::uint64_t window) {
  if (window == window_) inSpell_ = 0;
}

}  // namespace ruskel
