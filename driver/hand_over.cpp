// The end of a run as the front end meets it: no key of ruskel's left held,
// the exit key and button already let go, and its own window in front.
#include "core/front_end.h"
#include "core/key_sequence.h"
#include "core/run_log.h"
#include "driver/form1.h"

namespace ruskel {

void Form1::HandOver() {
  ReleaseHeldKeys(*m_);
  WaitForExitRelease();
  HandBackFront(*m_);
}

// A front end that acts on key state would take a held exit key or button as
// its own input: relaunch the game, or scroll. The emulator has been asked
// to quit already; only ruskel's end waits.
void Form1::WaitForExitRelease() {
  const std::int32_t key = exitWatch_.ExitKey();
  const std::int32_t button = m_->State.ExitButton;
  const auto held = [&] {
    if (key != 0 && os_.keyboard.LookAtKey(key).down) return true;
    if (!exitWatch_.WatchesButton()) return false;
    for (std::uint32_t mask : PadMasks()) {
      if (ExitWatch::ButtonsMatch(mask, button)) return true;
    }
    return false;
  };
  if (!held()) return;
  const std::uint64_t from = os_.events.NowMs();
  while (held()) {
    if (os_.events.NowMs() - from >= kReleaseCapMs) {
      Log(*m_, "the exit key or button is still down after " + std::to_string(kReleaseCapMs) +
                   " ms (stuck?); ending all the same");
      return;
    }
    os_.events.Pause(kReleaseLookMs);
  }
  Log(*m_, "the exit key or button was released after " +
               std::to_string(os_.events.NowMs() - from) + " ms");
}

}  // namespace ruskel
