#include "demo/key_holds.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>

#include "demo/epoch_ms.h"
#include "demo/event_log.h"

namespace ruskel::demo {
namespace {

struct Down {
  bool held = false;
  std::int64_t tick = 0;  // the message's time, on the system tick
};

std::array<Down, 256> gDown;

// The log's clock minus the system tick. Under Wine the tick GetTickCount reads moves only when
// the server wakes, so a reading may lag by up to 16 ms; the smallest difference seen is the one
// read with a fresh tick.
std::int64_t gTickToEpoch = std::numeric_limits<std::int64_t>::max();

// A message's 32-bit time on the 64-bit tick: it lies at most 49 days back.
std::int64_t MessageTick(DWORD messageTime) {
  ULONGLONG now = GetTickCount64();
  return static_cast<std::int64_t>(now) -
         static_cast<std::int64_t>(static_cast<DWORD>(now) - messageTime);
}

}  // namespace

void SampleTick() {
  gTickToEpoch = std::min(gTickToEpoch, EpochMs() - static_cast<std::int64_t>(GetTickCount64()));
}

void NoteKeyMessage(UINT message, WPARAM wParam) {
  bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
  if ((!down && !up) || wParam >= gDown.size()) return;
  SampleTick();
  Down& key = gDown[wParam];
  std::int64_t tick = MessageTick(static_cast<DWORD>(GetMessageTime()));
  if (down) {
    // Autorepeat keeps the first down.
    if (!key.held) key = {true, tick};
    return;
  }
  if (!key.held) return;
  key.held = false;
  Log("HOLD", "vk=" + std::to_string(wParam) + " ms=" + std::to_string(tick - key.tick) +
                  " down=" + std::to_string(key.tick + gTickToEpoch) +
                  " up=" + std::to_string(tick + gTickToEpoch));
}

}  // namespace ruskel::demo
