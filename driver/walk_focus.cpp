// Before each key of the walk: the emulator must hold the front, or the key
// would go to whatever program took it.
#include "core/emulator_window.h"
#include "core/run_log.h"
#include "core/text.h"
#include "driver/form1.h"

namespace ruskel {

bool Form1::KeysMayGo() {
  RunState& s = m_->State;
  // Title "null": the keys go to whatever has the focus, by design.
  if (s.WindowTitle == kNullWord) return true;
  const std::uint64_t now = os_.events.NowMs();
  const WindowHandle front = os_.windows.ForegroundWindow();
  const ProcessId frontProcess = front != 0 ? os_.windows.WindowProcess(front) : 0;
  const bool inFront = InEmulatorTree(*m_, frontProcess);
  const std::uint64_t lostFor = focusKeeper_.LostFor(now);
  switch (focusKeeper_.Check(inFront, now)) {
    case FocusKeeper::Verdict::Type:
      if (lostFor > 0) {
        Log(*m_, "the emulator is back in front after " + std::to_string(lostFor) +
                     " ms; the walk goes on where it stopped");
      }
      return true;
    case FocusKeeper::Verdict::GiveUp:
      Log(*m_, "the emulator did not come to the front within " +
                   std::to_string(s.Options.focuswait) + " ms (focuswait); the run ends");
      BeginClose(CloseEmulator(*m_), kExitNoFocus);
      return false;
    case FocusKeeper::Verdict::Wait:
      break;
  }
  if (!inFront) {
    ++focusAttempts_;
    const bool brought = os_.windows.BringToFront(s.EmulatorWindow);
    Log(*m_, "focus attempt " + std::to_string(focusAttempts_) + ": in front is " +
                 Quoted(os_.windows.WindowTitle(front)) + " of process " +
                 std::to_string(frontProcess) + ", not the emulator; no key sent; " +
                 (brought ? "the emulator brought forward"
                          : "the emulator could not be brought forward"));
  }
  // The walk's pacer asks again soon; the stroke stays first in line.
  const TimerId pacer = walk_ == Walk::Misc ? TimerId::misc : TimerId::Timkey;
  SetInterval(pacer, kRefocusRetryMs);
  if (!Slot(pacer).enabled) Start(pacer);
  return false;
}

}  // namespace ruskel
