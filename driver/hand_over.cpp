#include "driver/hand_over.h"

#include "core/front_end.h"
#include "core/run_log.h"
#include "driver/pad_reading.h"

namespace ruskel {
namespace {

// A front end that acts on key state would take a held exit key or button as
// its own input: relaunch the game, or scroll. The emulator has been asked to
// quit already; only ruskel's end waits.
void WaitForExitRelease(Mainmod& m, const ExitWatch& exitWatch) {
  RunState& s = m.State;
  const std::int32_t key = exitWatch.ExitKey();
  const auto held = [&] {
    if (key != 0 && m.Os.keyboard.LookAtKey(key).down) return true;
    if (!exitWatch.WatchesButton()) return false;
    return exitWatch.AnyPadMatches(ReadPadMasks(m.Os.pads, s.Options.joystick));
  };
  if (!held()) return;
  const std::uint64_t from = m.Os.events.NowMs();
  while (held()) {
    if (m.Os.events.NowMs() - from >= kReleaseCapMs) {
      Log<Say::ExitStillDown>(m, kReleaseCapMs);
      return;
    }
    m.Os.events.Pause(kReleaseLookMs);
  }
  Log<Say::ExitReleased>(m, m.Os.events.NowMs() - from);
}

}  // namespace

void HandOver(Mainmod& m, const ExitWatch& exitWatch) {
  WaitForExitRelease(m, exitWatch);
  HandBackFront(m);
}

}  // namespace ruskel
