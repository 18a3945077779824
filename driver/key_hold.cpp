#include "driver/key_hold.h"

#include "core/run_log.h"

namespace ruskel {

void KeyHold::Begin(Mainmod& m, std::int32_t exitKey) {
  if (on_ || !m.State.Options.holdback) return;
  const std::string error = m.Os.keyboard.HoldBackKeys(true, exitKey);
  if (error.empty()) {
    on_ = true;
  } else if (!refusalLogged_) {
    refusalLogged_ = true;
    Log<Say::KeysNotHeldBack>(m, error);
  }
}

void KeyHold::End(Mainmod& m) {
  if (!on_) return;
  on_ = false;
  m.Os.keyboard.HoldBackKeys(false, 0);
  if (const std::uint32_t presses = m.Os.keyboard.KeysHeldBack(); presses > 0) {
    Log<Say::KeysHeldBack>(m, presses);
  }
}

}  // namespace ruskel
