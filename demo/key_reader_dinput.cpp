// DirectInput 8 keyboard, foreground and non-exclusive like most games: either the whole state
// once per frame (immediate) or the queued changes (buffered). DirectInput knows keys by their
// scan code (DIK_* is the make code, plus 0x80 for the E0 family).
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include <array>
#include <cstdio>
#include <utility>

#include "demo/key_reader.h"

namespace ruskel::demo {
namespace {

constexpr DWORD kBufferSize = 64;

std::string Hex(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lx", static_cast<unsigned long>(result));
  return text;
}

KeyId KeyFromDik(int dik) { return KeyFromScan(dik & 0x7F, (dik & 0x80) != 0); }

class DirectInputReader : public KeyReader {
 public:
  DirectInputReader(KeyHandler handler, bool buffered)
      : handler_(std::move(handler)), buffered_(buffered) {}

  ~DirectInputReader() override {
    if (device_ != nullptr) {
      device_->Unacquire();
      device_->Release();
    }
    if (input_ != nullptr) input_->Release();
  }

  bool Attach(HWND window, std::string& error) override {
    HRESULT result =
        DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                           reinterpret_cast<void**>(&input_), nullptr);
    if (FAILED(result)) return Fail(error, "DirectInput8Create", result);
    result = input_->CreateDevice(GUID_SysKeyboard, &device_, nullptr);
    if (FAILED(result)) return Fail(error, "CreateDevice", result);
    result = device_->SetDataFormat(&c_dfDIKeyboard);
    if (FAILED(result)) return Fail(error, "SetDataFormat", result);
    result = device_->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE);
    if (FAILED(result)) return Fail(error, "SetCooperativeLevel", result);
    if (buffered_) {
      DIPROPDWORD size = {};
      size.diph.dwSize = sizeof(size);
      size.diph.dwHeaderSize = sizeof(size.diph);
      size.diph.dwHow = DIPH_DEVICE;
      size.dwData = kBufferSize;
      result = device_->SetProperty(DIPROP_BUFFERSIZE, &size.diph);
      if (FAILED(result)) return Fail(error, "SetProperty(BUFFERSIZE)", result);
    }
    // May fail while the window is not in front yet; Poll tries again.
    device_->Acquire();
    return true;
  }

  // Games take the keyboard again as soon as their window is activated, so that keys typed
  // right after it comes to the front are buffered already.
  void OnMessage(UINT message, WPARAM wParam, LPARAM) override {
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && device_ != nullptr) {
      device_->Acquire();
    }
  }

  void Poll() override {
    if (device_ == nullptr) return;
    if (buffered_) {
      PollBuffered();
    } else {
      PollImmediate();
    }
  }

 private:
  bool Fail(std::string& error, const char* call, HRESULT result) {
    error = std::string(call) + " failed hr=" + Hex(result);
    return false;
  }

  // Lost when the window leaves the front; taken again once it is back.
  bool Reacquire(HRESULT result) {
    if (result != DIERR_INPUTLOST && result != DIERR_NOTACQUIRED) return false;
    device_->Acquire();
    return true;
  }

  void PollImmediate() {
    std::array<BYTE, 256> state{};
    HRESULT result = device_->GetDeviceState(static_cast<DWORD>(state.size()), state.data());
    if (FAILED(result)) {
      Reacquire(result);
      return;
    }
    for (int dik = 1; dik < 256; ++dik) {
      bool down = (state[dik] & 0x80) != 0;
      if (down == down_[dik]) continue;
      down_[dik] = down;
      handler_(down, KeyFromDik(dik));
    }
  }

  void PollBuffered() {
    for (;;) {
      std::array<DIDEVICEOBJECTDATA, kBufferSize> items{};
      DWORD count = kBufferSize;
      HRESULT result = device_->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), items.data(), &count, 0);
      if (FAILED(result)) {
        Reacquire(result);
        return;
      }
      for (DWORD i = 0; i < count; ++i) {
        handler_((items[i].dwData & 0x80) != 0, KeyFromDik(static_cast<int>(items[i].dwOfs)));
      }
      if (count < kBufferSize) return;
    }
  }

  KeyHandler handler_;
  bool buffered_;
  IDirectInput8A* input_ = nullptr;
  IDirectInputDevice8A* device_ = nullptr;
  std::array<bool, 256> down_{};
};

}  // namespace

std::unique_ptr<KeyReader> MakeDirectInputReader(KeyHandler handler, bool buffered) {
  return std::make_unique<DirectInputReader>(std::move(handler), buffered);
}

}  // namespace ruskel::demo
