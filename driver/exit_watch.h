// The exit condition, decided from input events: the exit key's key-down (or
// a hold of exithold ms), or a pad whose buttons equal the exit button mask.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/mainmod.h"
#include "platform/keyboard_ops.h"

namespace ruskel {

// Where key events may not come, the exit key's state is looked at: during
// the window wait on each window lookup (under Wine raw input reaches no one
// while no window is in front), and this often while the window settles in
// front and once the emulator has gone. A press between two looks is seen by
// its "pressed since" mark.
inline constexpr std::uint32_t kKeyLookMs = 250;
// During the walk and play, this often whether any window holds the front:
// with none (another program's window closed, and Wine, or Windows when the
// next window cannot be activated, activates nothing) key events stop, and
// the exit key is looked at as above until a window holds the front again.
inline constexpr std::uint32_t kFrontLookMs = 1000;
// Pads give no events: with an exit button they are read this often.
inline constexpr std::uint32_t kPadPollMs = 50;

// Keyboard autorepeat sends key-downs at least this often while a key is
// held, so a key-down after a longer silence is a new press. A key that is
// only stuck down (its key-up lost) sends none at all.
inline constexpr std::uint64_t kAutorepeatGapMs = 1000;

class ExitWatch {
 public:
  struct Settings {
    std::optional<ExitKeyCode> exitKey;
    std::optional<ButtonMask> exitButton;
    std::uint32_t holdMs = 0;  // 0: on press
  };

  // The exit key, button and hold of a run.
  static Settings SettingsOf(const RunState& s);

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
  bool WatchesButton() const { return settings_.exitButton.has_value(); }
  // One of the pads' readings shows the exit button.
  bool AnyPadMatches(const std::vector<std::uint32_t>& masks) const;
  // The exit key's virtual-key code; 0 when no key ends the run.
  std::int32_t ExitKey() const { return settings_.exitKey.value_or(0); }
  bool ExitKeyIsMouseButton() const;
  std::uint32_t HoldMs() const { return settings_.holdMs; }
  // How often pads and a held press need a look (timWfExit); 0 while nothing
  // does and the watch waits on events alone.
  std::uint32_t PollMs() const;

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

}  // namespace ruskel
