#include "driver/exit_watch.h"

#include <algorithm>
#include <iterator>

#include "platform/sided_keys.h"

namespace ruskel {

ExitWatch::Settings ExitWatch::SettingsOf(const RunState& s) {
  Settings settings;
  settings.exitKey = s.ExitKey;
  settings.exitButton = s.ExitButton;
  settings.holdMs = s.Options.exithold;
  return settings;
}

void ExitWatch::Start(const Settings& settings, std::uint64_t now, bool keyHeldNow) {
  settings_ = settings;
  heldAtStart_ = keyHeldNow;
  lastDownAt_ = now;
  keyDownAt_.reset();
  padMatchedAt_.reset();
}

bool ExitWatch::Held(const std::optional<std::uint64_t>& since, std::uint64_t now) const {
  return since && now - *since >= settings_.holdMs;
}

bool ExitWatch::IsExitKey(std::int32_t virtualKey) const {
  const std::int32_t exit = ExitKey();
  if (exit == 0) return false;
  return IsKeyGiven(virtualKey, exit);
}

bool ExitWatch::ExitKeyIsMouseButton() const {
  const std::int32_t key = ExitKey();
  return std::find(std::begin(kMouseButtonKeys), std::end(kMouseButtonKeys), key) !=
         std::end(kMouseButtonKeys);
}

bool ExitWatch::KeyDown(std::int32_t virtualKey, std::uint64_t now) {
  if (!IsExitKey(virtualKey)) return false;
  return Pressed(now);
}

bool ExitWatch::Pressed(std::uint64_t now) {
  if (heldAtStart_) {
    // Autorepeat of a key held since before the watch; a key-down after a
    // quiet spell is a fresh press, also on a key stuck down.
    const bool repeat = now - lastDownAt_ < kAutorepeatGapMs;
    lastDownAt_ = now;
    if (repeat) return false;
    heldAtStart_ = false;
  }
  if (!keyDownAt_) keyDownAt_ = now;  // later key-downs are autorepeat
  return Held(keyDownAt_, now);
}

bool ExitWatch::KeyLooked(const KeyLook& look, std::uint64_t now) {
  if (!settings_.exitKey) return false;
  bool exit = false;
  if (look.pressedSinceLastLook || (look.down && !heldAtStart_)) exit = Pressed(now);
  // A whole press between two looks ends the run only when no hold is asked:
  // how long it was held is not known.
  if (!look.down) KeyUp(ExitKey());
  return exit;
}

void ExitWatch::KeyUp(std::int32_t virtualKey) {
  if (!IsExitKey(virtualKey)) return;
  heldAtStart_ = false;
  keyDownAt_.reset();
}

bool ExitWatch::AnyPadMatches(const std::vector<std::uint32_t>& masks) const {
  if (!settings_.exitButton) return false;
  return std::any_of(masks.begin(), masks.end(), [this](std::uint32_t mask) {
    return ButtonsMatch(mask, *settings_.exitButton);
  });
}

bool ExitWatch::PadsRead(const std::vector<std::uint32_t>& masks, std::uint64_t now) {
  if (!AnyPadMatches(masks)) {
    padMatchedAt_.reset();
    return false;
  }
  if (!padMatchedAt_) padMatchedAt_ = now;
  return Held(padMatchedAt_, now);
}

bool ExitWatch::HoldElapsed(std::uint64_t now) const {
  return Held(keyDownAt_, now) || Held(padMatchedAt_, now);
}

std::uint32_t ExitWatch::PollMs() const {
  const std::uint32_t hold = settings_.holdMs;
  const bool holding = hold > 0 && HoldPending();
  if (WatchesButton()) return holding ? std::min(hold, kPadPollMs) : kPadPollMs;
  return holding ? hold : 0;
}

}  // namespace ruskel
