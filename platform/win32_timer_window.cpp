// The invisible message-only window that owns the timers, and the message loop.
#include <windows.h>

#include "platform/win32_platform.h"

namespace ruskel {
namespace {

constexpr const char* kTimerWindowClass = "RuskelTimerHost";
// One timer window per process; its ticks go to whoever asked for them.
std::function<void(int)> g_tickHandler;

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && g_tickHandler) {
    g_tickHandler(static_cast<int>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void Win32Platform::CreateTimerWindow() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = TimerWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kTimerWindowClass;
  RegisterClassExA(&windowClass);
  // A message-only window: never shown, never in the taskbar or Alt+Tab.
  timerWindow_ = CreateWindowExA(0, kTimerWindowClass, "ruskel", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, instance, nullptr);
}

void Win32Platform::SetTickHandler(std::function<void(int)> handler) {
  g_tickHandler = std::move(handler);
}

void Win32Platform::StartTimer(int timerId, std::uint32_t intervalMs) {
  SetTimer(static_cast<HWND>(timerWindow_), static_cast<UINT_PTR>(timerId), intervalMs, nullptr);
}

void Win32Platform::StopTimer(int timerId) {
  KillTimer(static_cast<HWND>(timerWindow_), static_cast<UINT_PTR>(timerId));
}

std::uint64_t Win32Platform::NowMs() {
  return GetTickCount64();
}

int Win32Platform::RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace ruskel
