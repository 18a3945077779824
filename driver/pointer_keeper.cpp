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
    if (*leftBlankRestored_) {
      Log<Say::LeftBlankRestored>(m);
    } else {
      Log<Say::LeftBlankNotRestored>(m);
    }
    leftBlankRestored_.reset();
  }
  if (m.State.Options.cursor != CursorMode::Hide) return;
  CursorOps& cursor = m.Os.cursor;
  // Without the mark a run ended by force would leave the cursors blank for good.
  if (!cursor.MarkCursorsBlank(true)) {
    Log<Say::BlankMarkNotWritten>(m);
    return;
  }
  blank_ = true;
  Log<Say::CursorsBlank>(m, cursor.BlankSystemCursors());
}

void PointerKeeper::EmulatorForward(Mainmod& m) {
  const RunState& s = m.State;
  if (s.Options.cursor != CursorMode::Park) return;
  CursorOps& cursor = m.Os.cursor;
  const auto now = cursor.PointerPosition();
  if (!now) {
    Log<Say::PointerUnknown>(m);
    return;
  }
  const ScreenPoint park = ParkPoint(s.Options, cursor.MonitorOf(s.EmulatorWindow));
  if (*now == park) return;
  const bool moved = cursor.MovePointer(park);
  if (moved && !parkedFrom_) parkedFrom_ = now;
  if (moved) {
    Log<Say::PointerParked>(m, Text(park), Text(*now));
  } else {
    Log<Say::PointerNotParked>(m, Text(park), Text(*now));
  }
}

void PointerKeeper::PutBack(Mainmod& m) {
  CursorOps& cursor = m.Os.cursor;
  if (parkedFrom_) {
    const bool moved = cursor.MovePointer(*parkedFrom_);
    if (moved) {
      Log<Say::PointerPutBack>(m, Text(*parkedFrom_));
    } else {
      Log<Say::PointerNotPutBack>(m, Text(*parkedFrom_));
    }
    parkedFrom_.reset();
  }
  if (blank_) {
    const bool restored = cursor.RestoreSystemCursors();
    if (restored) cursor.MarkCursorsBlank(false);
    if (restored) {
      Log<Say::CursorsRestored>(m);
    } else {
      Log<Say::CursorsNotRestored>(m);
    }
    blank_ = false;
  }
}

}  // namespace ruskel
