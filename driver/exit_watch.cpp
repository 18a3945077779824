#include "driver/exit_watch.h"

#include "core/mainmod.h"
#include "platform/sided_keys.h"

namespace ruskel {

void ExitWatch::Start(const Settings& settings, std::uint64_t now, bool keyHeldNow) {
  settings_ = settings;
  heldAtStart_ = keyHeldNow;
  lastDownAt_ = now;
  keyDownAt_.reset();
  padMatchedAt_.reset();
}

bool ExitWatch::WatchesButton() const {
  return settings_.exitButton != kNoExitButton;
}

bool ExitWatch::Held(const std::optional<std::uint64_t>& since, std::uint64_t now) const {
  return since && now - *since >= settings_.holdMs;
}

bool ExitWatch::IsExitKey(std::int32_t virtualKey) const {
  const std::int32_t exit = settings_.exitKey;
  if (exit == 0) return false;
  // Given as Shift, Ctrl or Alt the exit key is either side; given as one
  // side, it is that side, or the key itself where its side is not known.
  return virtualKey == exit || GenericVirtualKey(virtualKey) == exit ||
         GenericVirtualKey(exit) == virtualKey;
}

bool ExitWatch::ExitKeyIsMouseButton() const {
  const std::int32_t key = settings_.exitKey;
  return key == 1 || key == 2 || key == 4 || key == 5 || key == 6;
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
  if (settings_.exitKey == 0) return false;
  bool exit = false;
  if (look.pressedSinceLastLook || (look.down && !heldAtStart_)) exit = Pressed(now);
  // A whole press between two looks ends the run only when no hold is asked:
  // how long it was held is not known.
  if (!look.down) KeyUp(settings_.exitKey);
  return exit;
}

void ExitWatch::KeyUp(std::int32_t virtualKey) {
  if (!IsExitKey(virtualKey)) return;
  heldAtStart_ = false;
  keyDownAt_.reset();
}

bool ExitWatch::ButtonsMatch(std::uint32_t buttons, std::int32_t exitButton) {
  if (exitButton >= 0 && exitButton <= 15) {
    return static_cast<std::int32_t>(buttons & 0xF) == exitButton;
  }
  return static_cast<std::int32_t>(buttons) == exitButton;
}

bool ExitWatch::PadsRead(const std::vector<std::uint32_t>& masks, std::uint64_t now) {
  if (!WatchesButton()) return false;
  bool matched = false;
  for (std::uint32_t mask : masks) matched = matched || ButtonsMatch(mask, settings_.exitButton);
  if (!matched) {
    padMatchedAt_.reset();
    return false;
  }
  if (!padMatchedAt_) padMatchedAt_ = now;
  return Held(padMatchedAt_, now);
}

bool ExitWatch::HoldElapsed(std::uint64_t now) const {
  return Held(keyDownAt_, now) || Held(padMatchedAt_, now);
}

std::uint32_t WinmmButtonsOfXInput(std::uint16_t xinputButtons) {
  struct Mapping {
    std::uint16_t xinput;
    std::uint32_t winmm;
  };
  static constexpr Mapping kMappings[] = {
      {0x1000, 1},   {0x2000, 2},   {0x4000, 4}, {0x8000, 8},  // A B X Y
      {0x0100, 16},  {0x0200, 32},                             // LB RB
      {0x0020, 64},  {0x0010, 128},                            // Back Start
      {0x0040, 256}, {0x0080, 512},                            // left, right stick
  };
  std::uint32_t buttons = 0;
  for (const Mapping& mapping : kMappings) {
    if ((xinputButtons & mapping.xinput) != 0) buttons |= mapping.winmm;
  }
  return buttons;
}

}  // namespace ruskel
