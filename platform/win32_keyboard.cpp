// The keyboard on Windows: key events by raw input, synthetic keys, key state.
#include <windows.h>

#include "platform/sided_keys.h"
#include "platform/win32_platform.h"

namespace ruskel {
namespace {

// Where the system does not hand the mark back, a key ruskel sent is
// recognised by its key and direction for this long.
constexpr std::uint64_t kOwnKeyWindowMs = 500;

std::uint32_t OwnKeySlot(std::int32_t virtualKey, bool keyUp) {
  return static_cast<std::uint32_t>(virtualKey) * 2 + (keyUp ? 1 : 0);
}

bool IsKeyEvent(const PlatformEvent& event, int) {
  return event.kind == EventKind::KeyDown || event.kind == EventKind::KeyUp;
}

// Raw input of a generic desktop device (usage 6 keyboard, 2 mouse) for the
// host window, or its removal. INPUTSINK: ruskel is never in front, and still
// gets every input.
// Empty when done, else the system's reason.
std::string RegisterRawDevice(USHORT usage, bool on, void* hostWindow) {
  RAWINPUTDEVICE device{};
  device.usUsagePage = 0x01;  // generic desktop
  device.usUsage = usage;
  device.dwFlags = on ? RIDEV_INPUTSINK : RIDEV_REMOVE;
  device.hwndTarget = on ? static_cast<HWND>(hostWindow) : nullptr;
  if (RegisterRawInputDevices(&device, 1, sizeof device) != FALSE) return {};
  return SystemErrorText(GetLastError());
}

}  // namespace

bool Win32Platform::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                                 std::uint32_t flags) {
  if (!ownMarkSeen_) {
    Pending& pending = ownKeys_[OwnKeySlot(virtualKey, (flags & kKeyEventKeyUp) != 0)];
    const std::uint64_t now = GetTickCount64();
    if (now > pending.untilMs) pending.count = 0;
    ++pending.count;
    pending.untilMs = now + kOwnKeyWindowMs;
  }
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = scanCode;
  input.ki.dwFlags = flags;  // the KEYEVENTF_ values
  input.ki.dwExtraInfo = kOwnKeyMark;
  // 0 events taken: blocked by another program, or by a higher integrity level.
  return SendInput(1, &input, sizeof input) == 1;
}

bool Win32Platform::IsOwnKey(std::int32_t virtualKey, bool keyUp, std::uintptr_t extraInfo) {
  auto pending = ownKeys_.find(OwnKeySlot(virtualKey, keyUp));
  const bool counted = pending != ownKeys_.end() && pending->second.count > 0 &&
                       GetTickCount64() <= pending->second.untilMs;
  if (counted) --pending->second.count;
  if (extraInfo == kOwnKeyMark) {
    // From now on the mark alone tells.
    ownMarkSeen_ = true;
    ownKeys_.clear();
    return true;
  }
  return !ownMarkSeen_ && counted;
}

std::uint8_t Win32Platform::ScanCodeOf(std::uint8_t virtualKey) {
  return static_cast<std::uint8_t>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC) & 0xFF);
}

std::string Win32Platform::WatchKeys(bool on) {
  if (on == watchingKeys_) return {};
  if (on && hostWindow_ == nullptr) CreateTimerWindow();
  std::string error = RegisterRawDevice(0x06, on, hostWindow_);
  watchingKeys_ = on && error.empty();
  if (!on) DropQueued(IsKeyEvent, 0);
  return error;
}

std::string Win32Platform::WatchMouseButtons(bool on) {
  if (on == watchingMouse_) return {};
  if (on && hostWindow_ == nullptr) CreateTimerWindow();
  // Every move comes as input too, so the mouse is watched only for an exit
  // key that is a mouse button.
  std::string error = RegisterRawDevice(0x02, on, hostWindow_);
  watchingMouse_ = on && error.empty();
  return error;
}

void Win32Platform::OnRawMouse(std::uint16_t buttonFlags) {
  struct Button {
    USHORT down;
    USHORT up;
    std::int32_t virtualKey;
  };
  static constexpr Button kButtons[] = {
      {RI_MOUSE_LEFT_BUTTON_DOWN, RI_MOUSE_LEFT_BUTTON_UP, VK_LBUTTON},
      {RI_MOUSE_RIGHT_BUTTON_DOWN, RI_MOUSE_RIGHT_BUTTON_UP, VK_RBUTTON},
      {RI_MOUSE_MIDDLE_BUTTON_DOWN, RI_MOUSE_MIDDLE_BUTTON_UP, VK_MBUTTON},
      {RI_MOUSE_BUTTON_4_DOWN, RI_MOUSE_BUTTON_4_UP, VK_XBUTTON1},
      {RI_MOUSE_BUTTON_5_DOWN, RI_MOUSE_BUTTON_5_UP, VK_XBUTTON2},
  };
  for (const Button& button : kButtons) {
    if ((buttonFlags & button.down) != 0) QueueEvent({EventKind::KeyDown, 0, button.virtualKey});
    if ((buttonFlags & button.up) != 0) QueueEvent({EventKind::KeyUp, 0, button.virtualKey});
  }
}

void Win32Platform::OnRawInput(std::intptr_t rawInputHandle) {
  RAWINPUT input{};
  UINT size = sizeof input;
  if (GetRawInputData(reinterpret_cast<HRAWINPUT>(rawInputHandle), RID_INPUT, &input, &size,
                      sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1)) {
    return;
  }
  if (watchingMouse_ && input.header.dwType == RIM_TYPEMOUSE)
    OnRawMouse(input.data.mouse.usButtonFlags);
  if (!watchingKeys_ || input.header.dwType != RIM_TYPEKEYBOARD) return;
  const RAWKEYBOARD& key = input.data.keyboard;
  // 0xFF comes with the escaped halves of some keys (Pause, Print Screen).
  if (key.VKey == 0 || key.VKey >= 0xFF) return;
  const bool keyUp = (key.Flags & RI_KEY_BREAK) != 0;
  if (IsOwnKey(key.VKey, keyUp, key.ExtraInformation)) return;
  PlatformEvent event;
  event.kind = keyUp ? EventKind::KeyUp : EventKind::KeyDown;
  // VKey says only "Shift", "Ctrl" or "Alt": an exit key given as one side
  // needs the side.
  event.virtualKey = SidedVirtualKey(key.VKey, key.MakeCode, (key.Flags & RI_KEY_E0) != 0);
  QueueEvent(event);
}

KeyLook Win32Platform::LookAtKey(std::int32_t virtualKey) {
  const auto state = static_cast<std::uint16_t>(GetAsyncKeyState(virtualKey));
  // The low bit tells of a press since the previous call. Another program
  // that polls the same key may take it first, so it only adds to the state.
  return {(state & 0x8000) != 0, (state & 0x0001) != 0};
}

}  // namespace ruskel
