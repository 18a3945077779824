// WM_KEYDOWN / WM_KEYUP: the key is the message's virtual-key code; the scan code and the
// extended flag are the ones the message carried.
#include <utility>

#include "demo/key_reader.h"

namespace ruskel::demo {
namespace {

class MessageReader : public KeyReader {
 public:
  explicit MessageReader(KeyHandler handler) : handler_(std::move(handler)) {}

  bool Attach(HWND, std::string&) override { return true; }

  void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    if (!down && !up) return;
    KeyId key;
    key.vk = static_cast<int>(wParam);
    key.scan = static_cast<int>((lParam >> 16) & 0xFF);
    key.extended = ((lParam >> 24) & 1) != 0;
    handler_(down, key);
  }

 private:
  KeyHandler handler_;
};

}  // namespace

std::unique_ptr<KeyReader> MakeMessageReader(KeyHandler handler) {
  return std::make_unique<MessageReader>(std::move(handler));
}

}  // namespace ruskel::demo
