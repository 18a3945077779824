// The mouse pointer: where it is, the monitor under a window, and the
// system's standard cursors.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/window_ops.h"

namespace ruskel {

// Virtual-screen coordinates: the primary monitor's top left is 0,0; a monitor
// left of or above it has negative ones.
struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// right and bottom lie just outside, as Windows gives rectangles.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

class CursorOps {
 public:
  virtual ~CursorOps() = default;

  // Empty when the system does not tell (a locked or secure desktop).
  virtual std::optional<ScreenPoint> PointerPosition() = 0;
  virtual bool MovePointer(ScreenPoint to) = 0;
  // The whole monitor the window is on (the one it overlaps most); the primary
  // monitor for window 0 or a window that has gone.
  virtual ScreenRect MonitorOf(WindowHandle window) = 0;
  // Every standard system cursor (arrow, I-beam, hand, busy, ...) replaced by a
  // blank one; how many were replaced.
  virtual int BlankSystemCursors() = 0;
  // The user's own cursors back, as their settings name them.
  virtual bool RestoreSystemCursors() = 0;
  // A mark that outlives ruskel, set while the system cursors are blank, so that
  // the next start can bring them back after a run that was ended by force.
  virtual bool MarkCursorsBlank(bool blank) = 0;  // false when it cannot be written
  virtual bool CursorsMarkedBlank() = 0;
  // A point of the window's client area in screen pixels; none when the window has gone.
  virtual std::optional<ScreenPoint> ClientPointOnScreen(WindowHandle window, std::int32_t x,
                                                         std::int32_t y) = 0;
  // The pointer moved there and a left button press and release sent; false
  // when the system took not all of it. The pointer stays there.
  virtual bool ClickLeft(ScreenPoint at) = 0;
};

}  // namespace ruskel
