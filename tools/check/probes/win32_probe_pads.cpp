// Every game pad ruskel could read: winmm joysticks by id, XInput pads by slot.
#include <windows.h>

// after windows.h, which they need
#include <mmsystem.h>
#include <xinput.h>

#include "tools/check/probes/win32_system_probe.h"

namespace ruskel {
namespace {

// A missing id is searched for by the driver on every read (tens of ms under
// Wine), so while pads are watched live it is only tried again this often.
constexpr std::uint64_t kMissingPadRetryMs = 3000;
constexpr std::uint32_t kWinmmIds = 16;
constexpr std::uint32_t kXInputSlots = 4;

using XInputGetStateFn = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

// The names XInput has had; not on every Windows, so never imported.
constexpr const char* kXInputDlls[] = {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"};

}  // namespace

void Win32SystemProbe::LoadXInput() {
  if (xinputLoaded_) return;
  xinputLoaded_ = true;
  // From the system folder, as ruskel loads it: a DLL of that name in the
  // current folder is not the system's.
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  for (const char* dll : kXInputDlls) {
    HMODULE module = LoadLibraryA((std::string(system, length) + "\\" + dll).c_str());
    if (module == nullptr) continue;
    xinputGetState_ = GetProcAddress(module, "XInputGetState");
    if (xinputGetState_ != nullptr) {
      xinputModule_ = module;
      xinputDll_ = dll;
      return;
    }
    FreeLibrary(module);
  }
}

PadsAnswer Win32SystemProbe::Pads() {
  PadsAnswer answer;
  const std::uint64_t now = GetTickCount64();
  answer.winmmIds = joyGetNumDevs();
  for (std::uint32_t id = 0; id < kWinmmIds; ++id) {
    std::uint64_t& retryAt = winmmRetryAtMs_[id];
    if (now < retryAt) continue;
    JOYINFOEX reading{};
    reading.dwSize = sizeof reading;
    reading.dwFlags = JOY_RETURNBUTTONS;
    // The read ruskel makes to watch the exit button.
    if (joyGetPosEx(id, &reading) != JOYERR_NOERROR) {
      retryAt = now + kMissingPadRetryMs;
      winmmButtonCounts_.erase(id);
      continue;
    }
    if (!winmmButtonCounts_.contains(id)) {
      JOYCAPSA caps{};
      winmmButtonCounts_[id] =
          joyGetDevCapsA(id, &caps, sizeof caps) == JOYERR_NOERROR ? caps.wNumButtons : 0;
    }
    answer.winmm.push_back({id, winmmButtonCounts_[id], reading.dwButtons});
  }

  LoadXInput();
  answer.xinputDll = xinputDll_;
  if (xinputGetState_ == nullptr) return answer;
  auto getState = reinterpret_cast<XInputGetStateFn>(reinterpret_cast<void*>(xinputGetState_));
  for (std::uint32_t slot = 0; slot < kXInputSlots; ++slot) {
    if (now < xinputRetryAtMs_[slot]) continue;
    XINPUT_STATE state{};
    if (getState(slot, &state) != ERROR_SUCCESS) {
      xinputRetryAtMs_[slot] = now + kMissingPadRetryMs;
      continue;
    }
    answer.xinput.push_back({slot, state.Gamepad.wButtons});
  }
  return answer;
}

}  // namespace ruskel
