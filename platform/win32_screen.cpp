// Points of a window's client area on the screen, and the colour shown there.
#include <windows.h>

#include "platform/win32_handles.h"
#include "platform/win32_platform.h"

namespace ruskel {

std::optional<ScreenPoint> Win32Platform::ClientPointOnScreen(WindowHandle window, std::int32_t x,
                                                              std::int32_t y) {
  HWND hwnd = ToHwnd(window);
  if (window == 0 || !IsWindow(hwnd)) return std::nullopt;
  POINT point{x, y};
  if (!ClientToScreen(hwnd, &point)) return std::nullopt;
  return ScreenPoint{point.x, point.y};
}

std::optional<std::uint32_t> Win32Platform::ClientPixel(WindowHandle window, std::int32_t x,
                                                        std::int32_t y) {
  const auto at = ClientPointOnScreen(window, x, y);
  if (!at) return std::nullopt;
  // The screen as shown, not the window's own drawing: what the player sees,
  // covered parts included, and the same for every way a window draws.
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return std::nullopt;
  const COLORREF colour = GetPixel(screen, at->x, at->y);
  ReleaseDC(nullptr, screen);
  if (colour == CLR_INVALID) return std::nullopt;
  return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

}  // namespace ruskel
