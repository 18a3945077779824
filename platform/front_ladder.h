// How hard a bring-forward asks for the front: the decisions of the ladder,
// kept apart from the calls that climb it so that they can be tested.
#pragma once

#include <cstdint>

namespace ruskel {

// The stronger rungs are not free. A refused SetForegroundWindow flashes the
// target's task bar button (an auto-hidden task bar pops up over the game),
// and AttachThreadInput resets the key state the threads share
// ("AttachThreadInput function", learn.microsoft.com/windows/win32/api/
// winuser/nf-winuser-attachthreadinput). The gentle rung is tried on every
// call; the stronger ones at most this often, and this many times in one
// spell of the window being out of front.
inline constexpr std::uint64_t kStrongRungEveryMs = 1000;
inline constexpr std::uint32_t kStrongRungCap = 8;

// What one call climbs past the gentle SetForegroundWindow.
struct FrontPlan {
  bool shareInput = false;  // AttachThreadInput with the thread in front, then ask again
  bool restack = false;     // up into the topmost band, then ask again
  // Back out of the topmost band after the restack. Never for a window that
  // keeps itself topmost (an emulator covering the task bar): HWND_NOTOPMOST
  // would take it out of the band for good ("SetWindowPos function",
  // learn.microsoft.com/windows/win32/api/winuser/nf-winuser-setwindowpos).
  bool leaveTopmostBand = false;

  bool operator==(const FrontPlan&) const = default;
};

class FrontLadder {
 public:
  // The gentle rung was refused for window (topmost: it has WS_EX_TOPMOST)
  // at nowMs: what to try next.
  FrontPlan Refused(std::uint64_t window, bool topmost, std::uint64_t nowMs);
  // The window came to the front: the next spell starts afresh.
  void Landed(std::uint64_t window);

  // Stronger climbs in the whole run, for the log.
  std::uint32_t StrongClimbs() const { return strongClimbs_; }

 private:
  std::uint64_t window_ = 0;
  std::uint32_t inSpell_ = 0;  // stronger climbs for window_ since it was last in front
  std::uint64_t lastStrongMs_ = 0;
  std::uint32_t strongClimbs_ = 0;
};

}  // namespace ruskel
