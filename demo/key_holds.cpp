#include "demo/key_holds.h"

#include <array>
#include <cstdint>
#include <string>

#include "demo/epoch_ms.h"
#include "demo/event_log.h"

namespace ruskel::demo {
namespace {

struct Down {
  bool held = false;
  DWORD tick = 0;          // the message's time, on the system tick
  std::int64_t epoch = 0;  // the same moment on the log's clock
};

std::array<Down, 256> gDown;

// The message's time on the log's clock: the tick says how long ago the event was made.
std::int64_t MessageEpochMs(DWORD messageTick) {
  DWORD age = GetTickCount() - messageTick;
  return EpochMs() - static_cast<std::int64_t>(age);
}

}  // namespace

void NoteKeyMessage(UINT message, WPARAM wParam) {
  bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
  if ((!down && !up) || wParam >= gDown.size()) return;
  Down& key = gDown[wParam];
  DWORD tick = static_cast<DWORD>(GetMessageTime());
  if (down) {
    // Autorepeat keeps the first down.
    if (!key.held) key = {true, tick, MessageEpochMs(tick)};
    return;
  }
  if (!key.held) return;
  key.held = false;
  Log("HOLD", "vk=" + std::to_string(wParam) + " ms=" + std::to_string(tick - key.tick) + " down=" +
                  std::to_string(key.epoch) + " up=" + std::to_string(MessageEpochMs(tick)));
}

}  // namespace ruskel::demo
