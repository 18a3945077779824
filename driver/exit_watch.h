// The exit condition, decided from input events: the exit key's key-down (or
// a hold of exithold ms), or a pad whose buttons equal the exit button mask.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/platform_ops.h"

namespace ruskel {

// Keyboard autorepeat sends key-downs at least this often while a key is
// held, so a key-down after a longer silence is a new press. A key that is
// only stuck down (its key-up lost) sends none at all.
inline constexpr std::uint64_t kAutorepeatGapMs = 1000;

class ExitWatch {
 public:
  struct Settings {
    std::int32_t exitKey = 0;     // 0: no exit key
    std::int32_t exitButton = 0;  // mask; kNoExitButton: none
    std::uint32_t holdMs = 0;     // 0: on press
  };

  // keyHeldNow: the exit key is down as the watch starts; it counts only once
  // it has been released, or pressed afresh after a quiet spell.
  void Start(const Settings& settings, std::uint64_t now, bool keyHeldNow);

  // KeyDown, KeyLooked, PadsRead and HoldElapsed return true when the run is
  // to end now.
  bool KeyDown(std::int32_t virtualKey, std::uint64_t now);
  void KeyUp(std::int32_t virtualKey);
  // A look at the exit key's state, where key events may not come. The state
  // alone never tells a press from a key stuck down; a press since the last
  // look does.
  bool KeyLooked(const KeyLook& look, std::uint64_t now);
  // masks: one reading per pad, buttons numbered as winmm numbers them.
  bool PadsRead(const std::vector<std::uint32_t>& masks, std::uint64_t now);
  bool HoldElapsed(std::uint64_t now) const;

  // A press is being held toward exithold.
  bool HoldPending() const { return keyDownAt_.has_value() || padMatchedAt_.has_value(); }
  bool WatchesButton() const;
  std::int32_t ExitKey() const { return settings_.exitKey; }
  bool ExitKeyIsMouseButton() const;
  std::uint32_t HoldMs() const { return settings_.holdMs; }

  // A mask of 15 or less names buttons 1 to 4 only, as a four-button reading
  // does; a larger one names the whole mask.
  static bool ButtonsMatch(std::uint32_t buttons, std::int32_t exitButton);

 private:
  bool Held(const std::optional<std::uint64_t>& since, std::uint64_t now) const;
  bool Pressed(std::uint64_t now);
  bool IsExitKey(std::int32_t virtualKey) const;

  Settings settings_;
  bool heldAtStart_ = false;
  std::uint64_t lastDownAt_ = 0;  // the latest key-down while held at start
  std::optional<std::uint64_t> keyDownAt_;
  std::optional<std::uint64_t> padMatchedAt_;
};

// XINPUT_GAMEPAD buttons in the numbering Windows' own XInput-to-winmm
// mapping gives them: A 1, B 2, X 4, Y 8, LB 16, RB 32, Back 64, Start 128,
// left stick 256, right stick 512. The d-pad is no button there.
std::uint32_t WinmmButtonsOfXInput(std::uint16_t xinputButtons);

}  // namespace ruskel
