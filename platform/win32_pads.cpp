// Game pads on Windows: winmm joysticks and XInput pads.
#include <windows.h>

// after windows.h, which they need
#include <mmsystem.h>
#include <xinput.h>

#include <string>

#include "platform/win32_platform.h"

namespace ruskel {
namespace {

// A failing read searches for devices again (4-35 ms under Wine), so a
// missing pad is probed only this often; a pad plugged in is still found.
constexpr std::uint64_t kMissingPadRetryMs = 3000;

using XInputGetStateFn = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

// Not on every Windows ruskel runs on under the same name, so never imported.
constexpr const char* kXInputDlls[] = {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"};

}  // namespace

bool Win32Platform::ReadJoystick(std::uint32_t joystickId, JoyInfo& info) {
  const std::uint64_t now = GetTickCount64();
  std::uint64_t& retryAt = joystickRetryAtMs_[joystickId];
  if (now < retryAt) return false;
  JOYINFOEX reading{};
  reading.dwSize = sizeof reading;
  reading.dwFlags = JOY_RETURNBUTTONS;
  if (joyGetPosEx(joystickId, &reading) != JOYERR_NOERROR) {
    retryAt = now + kMissingPadRetryMs;
    return false;
  }
  info.buttons = reading.dwButtons;
  return true;
}

bool Win32Platform::ReadXInput(std::uint32_t userIndex, std::uint16_t& buttons) {
  if (userIndex >= 4) return false;
  if (!xinputLoaded_) {
    xinputLoaded_ = true;
    // From the system folder only: a DLL of that name beside the emulator is
    // not the system's.
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    for (const char* dll : kXInputDlls) {
      if (length == 0 || length >= MAX_PATH) break;
      const std::string path = std::string(system, length) + "\\" + dll;
      HMODULE module = LoadLibraryA(path.c_str());
      if (module == nullptr) continue;
      FARPROC getState = GetProcAddress(module, "XInputGetState");
      if (getState != nullptr) {
        xinputGetState_ = reinterpret_cast<void*>(getState);
        break;
      }
      FreeLibrary(module);
    }
  }
  if (xinputGetState_ == nullptr) return false;

  const std::uint64_t now = GetTickCount64();
  if (now < xinputRetryAtMs_[userIndex]) return false;
  XINPUT_STATE state{};
  auto getState = reinterpret_cast<XInputGetStateFn>(xinputGetState_);
  if (getState(userIndex, &state) != ERROR_SUCCESS) {
    xinputRetryAtMs_[userIndex] = now + kMissingPadRetryMs;
    return false;
  }
  buttons = state.Gamepad.wButtons;
  return true;
}

}  // namespace ruskel
