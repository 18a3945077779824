#include "driver/pointer_keeper.h"

#include "core/run_log.h"

namespace ruskel {
namespace {

std::string Text(ScreenPoint point) {
  return std::to_string(point.x) + "," + std::to_string(point.y);
}

}  // namespace

ScreenPoint ParkPoint(const RunOptions& options, const ScreenRect& monitor) {
  if (options.cursorpark) return *options.cursorpark;
  return {monitor.right - 1, monitor.top + (monitor.bottom - monitor.top) / 2};
}

void PointerKeeper::RestoreLeftBlank(CursorOps& cursor) {
  if (!cursor.CursorsMarkedBlank()) return;
  // The mark stays until a restore works.
  leftBlankRestored_ = cursor.RestoreSystemCursors() && cursor.MarkCursorsBlank(false);
}

void PointerKeeper::Begin(Mainmod& m) {
  if (leftBlankRestored_) {
    Log(m, *leftBlankRestored_
               ? "system cursors left blank by an earlier run (ended by force) restored"
               : "system cursors left blank by an earlier run (ended by force) could not be "
                 "restored; the next start tries again");
    leftBlankRestored_.reset();
  }
  if (m.State.Options.cursor != CursorMode::Hide) return;
  CursorOps& cursor = m.Os.cursor;
  // Without the mark a run ended by force would leave the cursors blank for good.
  if (!cursor.MarkCursorsBlank(true)) {
    Log(m,
        "cursor=hide: the mark that brings the cursors back after a forced end cannot be "
        "written; the cursors stay as they are");
    return;
  }
  blank_ = true;
  Log(m, "system cursors blank (" + std::to_string(cursor.BlankSystemCursors()) + " replaced)");
}

void PointerKeeper::EmulatorForward(Mainmod& m) {
  const RunState& s = m.State;
  if (s.Options.cursor != CursorMode::Park) return;
  CursorOps& cursor = m.Os.cursor;
  const auto now = cursor.PointerPosition();
  if (!now) {
    Log(m, "cursor=park: the pointer's position cannot be read; it is left alone");
    return;
  }
  const ScreenPoint park = ParkPoint(s.Options, cursor.MonitorOf(s.EmulatorWindow));
  if (*now == park) return;
  const bool moved = cursor.MovePointer(park);
  if (moved && !parkedFrom_) parkedFrom_ = now;
  Log(m, (moved ? "pointer parked at " : "pointer could not be parked at ") + Text(park) +
             " (it was at " + Text(*now) + ")");
}

void PointerKeeper::PutBack(Mainmod& m) {
  CursorOps& cursor = m.Os.cursor;
  if (parkedFrom_) {
    const bool moved = cursor.MovePointer(*parkedFrom_);
    Log(m, (moved ? "pointer put back at " : "pointer could not be put back at ") +
               Text(*parkedFrom_));
    parkedFrom_.reset();
  }
  if (blank_) {
    const bool restored = cursor.RestoreSystemCursors();
    if (restored) cursor.MarkCursorsBlank(false);
    Log(m, restored ? "system cursors restored"
                    : "system cursors could not be restored (Windows refused); the next start "
                      "tries again");
    blank_ = false;
  }
}

}  // namespace ruskel
