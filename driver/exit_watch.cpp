#include "driver/exit_watch.h"

#include "core/fatal.h"
#include "core/number.h"

namespace ruskel {

bool ExitRequested(Mainmod& m) {
  RunState& s = m.State;
  JoyInfo reading = s.JoyState;
  if (m.Os.ReadJoystick(0, reading)) s.JoyState = reading;

  // The command line only keeps exit keys that fit 32 bits.
  auto key = ToInt32(s.ExitKey);
  if (!key) Fatal(m, "The exit key code is out of range.", kExitInternal);
  const std::uint16_t keyState = m.Os.KeyState(*key);

  return static_cast<std::int64_t>(s.JoyState.buttons) == s.ExitButton ||
         (keyState & kKeyHeldBit) != 0;
}

}  // namespace ruskel
