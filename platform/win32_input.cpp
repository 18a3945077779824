// Windows, synthetic keys, key state and the joystick on Windows.
#include <windows.h>

// after windows.h, which it needs
#include <mmsystem.h>

#include "platform/win32_handles.h"
#include "platform/win32_platform.h"

namespace ruskel {

WindowHandle Win32Platform::FindTopWindow(const std::string& title) {
  return FromHwnd(FindWindowA(nullptr, title.c_str()));
}

WindowHandle Win32Platform::ForegroundWindow() {
  return FromHwnd(GetForegroundWindow());
}

void Win32Platform::BringToFront(WindowHandle window) {
  SetForegroundWindow(ToHwnd(window));
}

bool Win32Platform::IsVisible(WindowHandle window) {
  return IsWindowVisible(ToHwnd(window)) != FALSE;
}

void Win32Platform::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
  PostMessageA(ToHwnd(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

void Win32Platform::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                                 std::uint32_t flags, std::uintptr_t extraInfo) {
  keybd_event(virtualKey, scanCode, flags, static_cast<ULONG_PTR>(extraInfo));
}

std::uint16_t Win32Platform::KeyState(std::int32_t virtualKey) {
  // This thread has no window that takes input, so its GetKeyState view goes
  // stale; the asynchronous state tells whether the key is down right now.
  // The thread's view changes only with input messages this thread never
  // gets, so it is refreshed every 100 ms rather than on every tick: under
  // Wine each GetKeyState is a round trip to the server.
  constexpr std::uint64_t kThreadStateRefreshMs = 100;
  const std::uint64_t now = GetTickCount64();
  if (virtualKey != threadStateKey_ || now >= threadStateRefreshAtMs_) {
    threadState_ = static_cast<std::uint16_t>(GetKeyState(virtualKey));
    threadStateKey_ = virtualKey;
    threadStateRefreshAtMs_ = now + kThreadStateRefreshMs;
  }
  if ((threadState_ & 0x8000) != 0) return threadState_;
  if ((static_cast<std::uint16_t>(GetAsyncKeyState(virtualKey)) & 0x8000) != 0) return 0xFF80;
  return threadState_;
}

bool Win32Platform::ReadJoystick(std::uint32_t joystickId, JoyInfo& info) {
  // Without a joystick every call fails, and now and then a failing call
  // searches for devices again (some milliseconds of CPU each under Wine).
  // Probing every 10 s still finds a pad plugged in mid-run.
  constexpr std::uint64_t kRetryAfterFailureMs = 10000;
  const std::uint64_t now = GetTickCount64();
  if (now < joystickRetryAtMs_) return false;
  JOYINFO reading{};
  if (joyGetPos(joystickId, &reading) != JOYERR_NOERROR) {
    joystickRetryAtMs_ = now + kRetryAfterFailureMs;
    return false;
  }
  info.x = reading.wXpos;
  info.y = reading.wYpos;
  info.z = reading.wZpos;
  info.buttons = reading.wButtons;
  return true;
}

}  // namespace ruskel
