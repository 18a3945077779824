// What the keyboard hold lets through while ruskel types: ruskel's own keys,
// the exit key, and the release of a key that was down before the hold.
#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>

namespace ruskel {

class KeyHoldFilter {
 public:
  // passKey: the exit key (0: none); given as Shift, Ctrl or Alt it is either side.
  explicit KeyHoldFilter(std::int32_t passKey) : passKey_(passKey) {}

  // True when the event is held back. ownMark: ruskel sent it.
  bool HoldsBack(std::int32_t virtualKey, bool keyUp, bool ownMark);
  // Presses held back (autorepeat of a held key counts once). Read from any thread.
  std::uint32_t PressesHeldBack() const { return presses_.load(std::memory_order_relaxed); }

 private:
  std::int32_t passKey_;
  std::bitset<256> heldDown_;  // keys whose key-down was held back
  std::atomic<std::uint32_t> presses_{0};
};

}  // namespace ruskel
