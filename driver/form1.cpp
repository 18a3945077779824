#include "driver/form1.h"

namespace ruskel {

Form1::Form1(PlatformOps& os) : os_(os) {
  Slot(TimerId::Timkey).intervalMs = kWindowWaitTickMs;
  Slot(TimerId::timWfExit).intervalMs = 1;  // as often as the platform allows
}

void Form1::Create() {
  os_.CreateTimerWindow();
  os_.SetTickHandler([this](int timerId) { Tick(timerId); });
}

void Form1::Start(TimerId timer) {
  TimerSlot& slot = Slot(timer);
  slot.enabled = true;
  // A timer with interval 0 is enabled but never ticks.
  if (slot.intervalMs > 0) os_.StartTimer(static_cast<int>(timer), slot.intervalMs);
}

void Form1::Stop(TimerId timer) {
  TimerSlot& slot = Slot(timer);
  if (!slot.enabled) return;
  slot.enabled = false;
  os_.StopTimer(static_cast<int>(timer));
}

void Form1::SetInterval(TimerId timer, std::uint32_t intervalMs) {
  TimerSlot& slot = Slot(timer);
  slot.intervalMs = intervalMs;
  if (!slot.enabled) return;
  if (intervalMs > 0) {
    os_.StartTimer(static_cast<int>(timer), intervalMs);
  } else {
    os_.StopTimer(static_cast<int>(timer));
  }
}

std::uint32_t Form1::Interval(TimerId timer) const {
  return Slot(timer).intervalMs;
}

void Form1::Tick(int timerId) {
  // A message box inside a handler pumps messages; its ticks must not re-enter.
  if (inHandler_ || m_ == nullptr) return;
  if (timerId < 1 || timerId > 3) return;
  const TimerId timer = static_cast<TimerId>(timerId);
  if (!Slot(timer).enabled) return;  // a tick already queued before Stop

  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(inHandler_);

  switch (timer) {
    case TimerId::Timkey:
      Timkey_Timer();
      break;
    case TimerId::timWfExit:
      timWfExit_Timer();
      break;
    case TimerId::misc:
      misc_Timer();
      break;
  }
}

}  // namespace ruskel
