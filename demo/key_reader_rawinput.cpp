// Raw input (WM_INPUT) for the keyboard, while the window is in front. Keys are told apart by the
// make code and the E0 flag only, as games that read raw input do; the virtual-key code in the
// report is not looked at.
#include <string>
#include <utility>

#include "demo/key_reader.h"

namespace ruskel::demo {
namespace {

constexpr USHORT kGenericDesktopPage = 0x01;
constexpr USHORT kKeyboardUsage = 0x06;

class RawInputReader : public KeyReader {
 public:
  explicit RawInputReader(KeyHandler handler) : handler_(std::move(handler)) {}

  bool Attach(HWND window, std::string& error) override {
    RAWINPUTDEVICE device = {};
    device.usUsagePage = kGenericDesktopPage;
    device.usUsage = kKeyboardUsage;
    device.dwFlags = 0;
    device.hwndTarget = window;
    if (!RegisterRawInputDevices(&device, 1, sizeof(device))) {
      error = "RegisterRawInputDevices failed error=" + std::to_string(GetLastError());
      return false;
    }
    return true;
  }

  void OnMessage(UINT message, WPARAM, LPARAM lParam) override {
    if (message != WM_INPUT) return;
    RAWINPUT input = {};
    UINT size = sizeof(input);
    UINT got = GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &input, &size,
                               sizeof(RAWINPUTHEADER));
    if (got == static_cast<UINT>(-1) || input.header.dwType != RIM_TYPEKEYBOARD) return;
    const RAWKEYBOARD& keyboard = input.data.keyboard;
    bool down = (keyboard.Flags & RI_KEY_BREAK) == 0;
    handler_(down, KeyFromScan(keyboard.MakeCode, (keyboard.Flags & RI_KEY_E0) != 0));
  }

 private:
  KeyHandler handler_;
};

}  // namespace

std::unique_ptr<KeyReader> MakeRawInputReader(KeyHandler handler) {
  return std::make_unique<RawInputReader>(std::move(handler));
}

}  // namespace ruskel::demo
