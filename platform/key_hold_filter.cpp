#include "platform/key_hold_filter.h"

#include "platform/sided_keys.h"

namespace ruskel {

bool KeyHoldFilter::HoldsBack(std::int32_t virtualKey, bool keyUp, bool ownMark) {
  if (ownMark || virtualKey <= 0 || virtualKey > 255) return false;
  if (passKey_ != 0 && IsKeyGiven(virtualKey, passKey_)) {
    return false;
  }
  const auto slot = static_cast<std::size_t>(virtualKey);
  if (keyUp) {
    // A key pressed before the hold is released as usual: held back, its
    // release would leave the key stuck down in the emulator.
    const bool heldDown = heldDown_[slot];
    heldDown_[slot] = false;
    return heldDown;
  }
  if (!heldDown_[slot]) presses_.fetch_add(1, std::memory_order_relaxed);
  heldDown_[slot] = true;
  return true;
}

}  // namespace ruskel
