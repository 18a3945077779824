// The wait for the emulator's window: look-ups, windows of other programs
// left over with the same title, and the focus settle before the first key.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/mainmod.h"
#include "core/window_survey.h"

namespace ruskel {

// The wait looks for the window this often besides window events: Wine tells
// of new windows but not of windows being shown or renamed. A lookup walks
// every top-level window, so it is kept to twice a second, and to once a
// second in a long wait (an emulator that never shows a window, or a launcher
// that waits for a login) so that the wait costs next to nothing.
inline constexpr std::uint32_t kWindowLookupMs = 500;
inline constexpr std::uint32_t kLongWaitLookupMs = 1000;
inline constexpr std::uint64_t kLongWaitAfterMs = 10000;
// Once the window is there, its activation is checked this often; the first
// look comes this soon too (a single-instance emulator's window may be up already).
inline constexpr std::uint32_t kFocusCheckMs = 10;
// Window activation is asynchronous: keys typed before the window is really in
// front get lost. Give it this long before the walk begins; each key then
// still waits for the emulator to hold the front.
inline constexpr std::uint64_t kFocusSettleMs = 2000;
// Windows with the title that belong to other processes are passed over this
// long: the emulator's own window is on its way.
inline constexpr std::uint64_t kForeignWindowAfterMs = 5000;
// A wait this long without a match logs the emulator's own windows (a title
// one blank off waits for ever): most emulators show their window sooner, and
// the owner reading the log learns the real title. The listing reads every
// top-level window again, as much as a lookup, so it comes on a lookup at most
// this often, and is logged only when the windows differ from the last ones.
inline constexpr std::uint64_t kWindowListAfterMs = 3000;
inline constexpr std::uint64_t kWindowListEveryMs = 2000;

class WindowWait {
 public:
  enum class Look {
    NotYet,  // no window with the title yet
    Found,   // EmulatorWindow and EmulatorProcess are the emulator's now
    NoTitle  // title "null": nothing to wait for, the keys go to whatever has the focus
  };
  enum class Focus {
    Lost,      // the window has gone: back to the look-ups
    Settling,  // not visible or not in front yet
    Ready      // in front, or the settle time is over
  };

  void Start(std::uint64_t now);
  Look LookForWindow(Mainmod& m, std::uint64_t now);
  // Brings the window to the front and tells whether it is there.
  Focus CheckFocus(Mainmod& m, std::uint64_t now);
  // After the start delay: something may have taken the front meanwhile.
  void BringBack(Mainmod& m);

  // The pause before the next look: the first soon, then the slow paces.
  std::uint32_t LookPaceMs(std::uint64_t now) const;

 private:
  // After a lookup that found nothing: the emulator's windows, logged when they changed.
  void ListEmulatorWindows(Mainmod& m, std::uint64_t now);

  std::uint64_t startedAt_ = 0;
  std::uint64_t listedAt_ = 0;
  std::optional<std::vector<ShownWindow>> listed_;  // none: not listed yet
  std::uint64_t focusingSince_ = 0;
  bool looked_ = false;
};

}  // namespace ruskel
