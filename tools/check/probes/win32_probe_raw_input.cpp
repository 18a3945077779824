// Whether raw input hands a key to a hidden window while another window is in
// front, and whether ruskel's mark on a key it typed comes back with it.
#include "platform/win32_platform.h"
#include "tools/check/probes/win32_system_probe.h"

namespace ruskel {
namespace {

// ruskel's own keys carry this in dwExtraInfo.
constexpr ULONG_PTR kOwnKeyMark = 0x4C4B5352;  // "RSKL"
constexpr WORD kTestKey = VK_F13;              // a key nothing reacts to
constexpr ULONGLONG kFrontWaitMs = 500;
constexpr ULONGLONG kKeyWaitMs = 1000;
constexpr const char* kWindowClass = "RuskelCheckRawInput";

struct RawInputRun {
  RawInputAnswer* answer = nullptr;
  bool upArrived = false;
};

void OnRawInput(RawInputRun& run, LPARAM handle) {
  RAWINPUT input{};
  UINT size = sizeof input;
  if (GetRawInputData(reinterpret_cast<HRAWINPUT>(handle), RID_INPUT, &input, &size,
                      sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1) ||
      input.header.dwType != RIM_TYPEKEYBOARD) {
    return;
  }
  const RAWKEYBOARD& key = input.data.keyboard;
  // The player's own keys meanwhile are not the test key.
  if (key.VKey != kTestKey && key.ExtraInformation != kOwnKeyMark) return;
  if ((key.Flags & RI_KEY_BREAK) != 0) {
    run.upArrived = true;
    return;
  }
  RawInputAnswer& answer = *run.answer;
  if (answer.arrived) return;
  answer.arrived = true;
  answer.vkey = key.VKey;
  answer.makeCode = key.MakeCode;
  answer.flags = key.Flags;
  answer.extraInformation = static_cast<std::uint32_t>(key.ExtraInformation);
  answer.markCameBack = key.ExtraInformation == kOwnKeyMark;
}

// Both the hidden watching window and the test window in front.
LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* run = reinterpret_cast<RawInputRun*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (run != nullptr && message == WM_INPUT) OnRawInput(*run, lParam);
  if (run != nullptr && message == WM_KEYDOWN && wParam == kTestKey) {
    run->answer->testWindowGotKey = true;
  }
  // WM_INPUT too: DefWindowProc frees what the system kept for it.
  return DefWindowProcA(window, message, wParam, lParam);
}

// Delivers this thread's messages until done() or the time is up.
template <typename Done>
void PumpUntil(ULONGLONG waitMs, Done done) {
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  for (;;) {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (done() || now >= deadline) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

RAWINPUTDEVICE Keyboard(DWORD flags, HWND target) {
  RAWINPUTDEVICE keyboard{};
  keyboard.usUsagePage = 0x01;  // generic desktop
  keyboard.usUsage = 0x06;      // keyboard
  keyboard.dwFlags = flags;
  keyboard.hwndTarget = target;
  return keyboard;
}

INPUT MarkedKey(bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = kTestKey;
  // With its scan code, as ruskel types keys with scancodes=on.
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(kTestKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  input.ki.dwExtraInfo = kOwnKeyMark;
  return input;
}

}  // namespace

RawInputAnswer Win32SystemProbe::RawInput() {
  RawInputAnswer answer;
  answer.sentKey = kTestKey;
  RawInputRun run;
  run.answer = &answer;

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ProbeWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExA(&windowClass);
  // Made as ruskel makes its own: a hidden tool window, never activated.
  HWND sink =
      CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kWindowClass, "ruskel-check raw input",
                      WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, &run);
  // Stands in for the emulator: the window in front that gets the keys.
  HWND front = CreateWindowExA(0, kWindowClass, "ruskel-check: raw input test (closes by itself)",
                               WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360, 120, nullptr,
                               nullptr, instance, &run);
  if (sink == nullptr || front == nullptr) {
    answer.failure = "CreateWindowEx: " + SystemErrorText(GetLastError());
  } else {
    const RAWINPUTDEVICE keyboard = Keyboard(RIDEV_INPUTSINK, sink);
    answer.registered = RegisterRawInputDevices(&keyboard, 1, sizeof keyboard) != FALSE;
    if (!answer.registered) {
      answer.failure = "RegisterRawInputDevices: " + SystemErrorText(GetLastError());
    }
  }
  if (answer.registered) {
    ShowWindow(front, SW_SHOWNORMAL);
    // Windows may refuse the front to a program that was not just used; the
    // answer then tells of keys typed while some other program is in front.
    SetForegroundWindow(front);
    PumpUntil(kFrontWaitMs, [front] { return GetForegroundWindow() == front; });
    answer.testWindowInFront = GetForegroundWindow() == front;

    INPUT keys[2] = {MarkedKey(false), MarkedKey(true)};
    answer.sent = SendInput(2, keys, sizeof(INPUT)) == 2;
    if (!answer.sent) answer.failure = "SendInput: " + SystemErrorText(GetLastError());
    PumpUntil(kKeyWaitMs, [&run, &answer] { return answer.arrived && run.upArrived; });

    const RAWINPUTDEVICE remove = Keyboard(RIDEV_REMOVE, nullptr);
    RegisterRawInputDevices(&remove, 1, sizeof remove);
  }
  if (front != nullptr) DestroyWindow(front);
  if (sink != nullptr) DestroyWindow(sink);
  PumpUntil(0, [] { return true; });
  UnregisterClassA(kWindowClass, instance);
  return answer;
}

}  // namespace ruskel
