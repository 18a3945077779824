// The player's keys held back while ruskel types (holdback=on): from the
// start delay (or the first key of the menu walk) to the last key of the
// enter sequence, and again
// for the misc sequence, so that a button pressed during the launch cannot
// move the menu off the game. The exit key still passes. Pads are read by the
// emulator itself and cannot be held back.
#pragma once

#include <cstdint>

#include "core/mainmod.h"

namespace ruskel {

class KeyHold {
 public:
  // From now on. A hold the system refuses is logged, and the walk goes on without it.
  void Begin(Mainmod& m, std::int32_t exitKey);
  // At once, and the presses held back are logged. Nothing happens when no hold is on.
  void End(Mainmod& m);
  bool On() const { return on_; }

 private:
  bool on_ = false;
  bool refusalLogged_ = false;
};

}  // namespace ruskel
