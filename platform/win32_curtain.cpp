// What ruskel itself puts on the screen: the black curtain over the menu walk,
// and message boxes, which always show above it.
#include <windows.h>

#include "platform/win32_platform.h"

namespace ruskel {
namespace {

constexpr const char* kCurtainClass = "RuskelCurtain";

LRESULT CALLBACK CurtainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click never takes the focus from the emulator
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // nor lands here
    case WM_CLOSE:
      // A close request for ruskel, like one to its host window.
      if (Win32Platform* platform = CurrentWin32Platform()) platform->OnCloseRequest();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

void Win32Platform::ShowCurtain(bool shown) {
  if (!shown) {
    if (curtain_ != nullptr) DestroyWindow(static_cast<HWND>(curtain_));
    curtain_ = nullptr;
    return;
  }
  if (curtain_ != nullptr) return;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = CurtainProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.hCursor = nullptr;
  windowClass.lpszClassName = kCurtainClass;
  RegisterClassExA(&windowClass);  // fails harmlessly once registered
  // The primary monitor starts at 0,0.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  // Topmost over everything, but never active and click-through: the keys
  // ruskel types still go to the emulator behind it. Not in the taskbar or
  // Alt+Tab either.
  HWND curtain = CreateWindowExA(
      WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_TOOLWINDOW,
      kCurtainClass, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr, instance, nullptr);
  if (curtain == nullptr) return;
  // A layered window shows nothing until it is told how opaque it is.
  SetLayeredWindowAttributes(curtain, 0, 255, LWA_ALPHA);
  ShowWindow(curtain, SW_SHOWNOACTIVATE);
  SetWindowPos(curtain, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateWindow(curtain);
  curtain_ = curtain;
}

void Win32Platform::ShowMessage(const std::string& text, MessageKind kind) {
  // Nothing may hide a message box; the curtain is not wanted after one anyway.
  ShowCurtain(false);
  // Topmost and foreground: on a cabinet the box must show over a full-screen front end.
  UINT style = MB_OK | MB_TOPMOST | MB_SETFOREGROUND;
  style |= kind == MessageKind::Error ? MB_ICONERROR : 0;
  MessageBoxA(nullptr, text.c_str(), "ruskel", style);
}

}  // namespace ruskel
