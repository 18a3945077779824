// Readers that look at the key state once per frame, as many games do: GetAsyncKeyState (the
// system's state now) and GetKeyboardState (the thread's state, as of the input messages it has
// taken). A key that goes down and up between two frames is never seen.
#include <array>
#include <utility>

#include "demo/key_reader.h"

namespace ruskel::demo {
namespace {

// Mouse buttons and the left/right copies of shift, control and alt are left out: the generic
// codes already report those keys.
bool IsKeyboardKey(int vk) {
  if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_CANCEL || vk == VK_MBUTTON ||
      vk == VK_XBUTTON1 || vk == VK_XBUTTON2) {
    return false;
  }
  return vk < VK_LSHIFT || vk > VK_RMENU;
}

class PollingReader : public KeyReader {
 public:
  PollingReader(KeyHandler handler, bool threadState)
      : handler_(std::move(handler)), threadState_(threadState) {}

  bool Attach(HWND, std::string&) override { return true; }

  void Poll() override {
    std::array<BYTE, 256> state{};
    if (threadState_) {
      if (!GetKeyboardState(state.data())) return;
    } else {
      for (int vk = 1; vk < 256; ++vk) {
        state[vk] = (GetAsyncKeyState(vk) & 0x8000) != 0 ? 0x80 : 0;
      }
    }
    for (int vk = 1; vk < 256; ++vk) {
      bool down = (state[vk] & 0x80) != 0;
      if (down == down_[vk] || !IsKeyboardKey(vk)) continue;
      down_[vk] = down;
      handler_(down, KeyFromVk(vk));
    }
  }

 private:
  KeyHandler handler_;
  bool threadState_;
  std::array<bool, 256> down_{};
};

}  // namespace

std::unique_ptr<KeyReader> MakeAsyncStateReader(KeyHandler handler) {
  return std::make_unique<PollingReader>(std::move(handler), false);
}

std::unique_ptr<KeyReader> MakeThreadStateReader(KeyHandler handler) {
  return std::make_unique<PollingReader>(std::move(handler), true);
}

}  // namespace ruskel::demo
