// The mouse pointer out of sight while the emulator runs (cursor=): parked
// at the edge of the emulator's screen, or every system cursor blank; as it
// was again on every end of the run, and after a run ended by force at the
// next start.
#pragma once

#include <optional>

#include "core/mainmod.h"

namespace ruskel {

// cursorpark's point, or the middle of the monitor's right edge: off the
// picture, and away from the corners, where some front ends and Windows
// itself act on a resting pointer.
ScreenPoint ParkPoint(const RunOptions& options, const ScreenRect& monitor);

class PointerKeeper {
 public:
  // At every start, before anything can fail: cursors left blank by a run
  // that was ended by force come back.
  void RestoreLeftBlank(CursorOps& cursor);
  // The run begins (options read, log open): cursor=hide blanks the cursors.
  void Begin(Mainmod& m);
  // ruskel has found the emulator's window or brought it forward again:
  // cursor=park parks the pointer on the window's monitor.
  void EmulatorForward(Mainmod& m);
  // The pointer where it was and the user's cursors back; once, however often called.
  void PutBack(Mainmod& m);

 private:
  std::optional<bool> leftBlankRestored_;  // a forced end's blank cursors found at start
  bool blank_ = false;
  std::optional<ScreenPoint> parkedFrom_;
};

}  // namespace ruskel
