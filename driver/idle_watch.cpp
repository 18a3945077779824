#include "driver/idle_watch.h"

#include <algorithm>

namespace ruskel {

void IdleWatch::Start(std::uint32_t seconds, std::uint64_t now) {
  limitMs_ = std::uint64_t{seconds} * 1000;
  if (seconds > 0) {
    since_ = now;
  } else {
    since_.reset();
  }
}

void IdleWatch::Pressed(std::uint64_t now) {
  if (since_) since_ = now;
}

void IdleWatch::LookAtMouse(KeyboardOps& keyboard, std::int32_t exitKey, std::uint64_t now) {
  // Looked at rather than watched: a moving mouse (a light gun) would wake
  // ruskel on every move.
  for (const std::int32_t button : kMouseButtonKeys) {
    if (button == exitKey) continue;
    const KeyLook look = keyboard.LookAtKey(button);
    if (look.down || look.pressedSinceLastLook) Pressed(now);
  }
}

void IdleWatch::PadsRead(const std::vector<std::uint32_t>& masks, std::uint64_t now) {
  if (std::any_of(masks.begin(), masks.end(), [](std::uint32_t mask) { return mask != 0; })) {
    Pressed(now);
  }
}

bool IdleWatch::Elapsed(std::uint64_t now) const {
  return since_ && now - *since_ >= limitMs_;
}

}  // namespace ruskel
