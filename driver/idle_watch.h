// idleexit: while the game runs, the player's last press of a key, a mouse
// button or a pad button; with none for idleexit seconds the game is closed.
// The count starts once the walk is done; keys ruskel types never reach it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/keyboard_ops.h"

namespace ruskel {

// While the idle count runs, the pads and mouse buttons are looked at this
// often (keys come as events): a button held or clicked between two looks is
// seen, and the close comes at most this late. With an exit button the pads'
// own faster reading serves.
inline constexpr std::uint32_t kIdleLookMs = 250;

class IdleWatch {
 public:
  // Counts from now; seconds 0: never.
  void Start(std::uint32_t seconds, std::uint64_t now);
  bool Watching() const { return since_.has_value(); }
  std::uint32_t Seconds() const { return static_cast<std::uint32_t>(limitMs_ / 1000); }

  // A key or mouse button pressed by the player.
  void Pressed(std::uint64_t now);
  // The mouse buttons looked at, but for the exit key's (its events come).
  void LookAtMouse(KeyboardOps& keyboard, std::int32_t exitKey, std::uint64_t now);
  // One reading per pad: any button down is the player's.
  void PadsRead(const std::vector<std::uint32_t>& masks, std::uint64_t now);
  // True once nothing was pressed for idleexit.
  bool Elapsed(std::uint64_t now) const;
  // How often the pads and the mouse need a look; 0 while not counting.
  std::uint32_t PollMs() const { return Watching() ? kIdleLookMs : 0; }

 private:
  std::uint64_t limitMs_ = 0;
  std::optional<std::uint64_t> since_;  // the last press, or the count's start
};

}  // namespace ruskel
