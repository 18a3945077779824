#include "driver/form1.h"

namespace ruskel {

Form1::Form1(Platform os) : os_(os) {
  Slot(TimerId::Timkey).intervalMs = kKeyLookMs;
  Slot(TimerId::timWfExit).intervalMs = kPadPollMs;
  Slot(TimerId::curtain).intervalMs = kCurtainSettleMs;
}

void Form1::Create() {
  os_.events.CreateTimerWindow();
  os_.events.SetEventHandler([this](const PlatformEvent& event) { OnEvent(event); });
}

void Form1::Start(TimerId timer) {
  TimerSlot& slot = Slot(timer);
  slot.enabled = true;
  // A timer with interval 0 is enabled but never ticks.
  if (slot.intervalMs > 0) os_.events.StartTimer(static_cast<int>(timer), slot.intervalMs);
}

void Form1::Stop(TimerId timer) {
  TimerSlot& slot = Slot(timer);
  if (!slot.enabled) return;
  slot.enabled = false;
  os_.events.StopTimer(static_cast<int>(timer));
}

void Form1::SetInterval(TimerId timer, std::uint32_t intervalMs) {
  TimerSlot& slot = Slot(timer);
  if (slot.intervalMs == intervalMs) return;
  slot.intervalMs = intervalMs;
  if (!slot.enabled) return;
  if (intervalMs > 0) {
    os_.events.StartTimer(static_cast<int>(timer), intervalMs);
  } else {
    os_.events.StopTimer(static_cast<int>(timer));
  }
}

std::uint32_t Form1::Interval(TimerId timer) const {
  return Slot(timer).intervalMs;
}

void Form1::OnEvent(const PlatformEvent& event) {
  // A message box inside a handler pumps messages; its events must not re-enter.
  if (inHandler_ || m_ == nullptr) return;
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(inHandler_);
  Dispatch(event);
}

void Form1::Dispatch(const PlatformEvent& event) {
  switch (event.kind) {
    case EventKind::Timer:
      if (event.timerId >= 1 && event.timerId < static_cast<int>(timers_.size())) {
        Tick(static_cast<TimerId>(event.timerId));
      }
      break;
    case EventKind::KeyDown:
    case EventKind::KeyUp:
      OnKey(event);
      break;
    case EventKind::WindowsChanged:
      if (phase_ == Phase::WaitingForWindow) LookForWindow();
      break;
    case EventKind::ProcessEnded:
      OnProcessEnded(event.processId);
      break;
    case EventKind::CloseRequested:
      OnCloseRequest();
      break;
  }
}

void Form1::Tick(TimerId timer) {
  if (!Slot(timer).enabled) return;  // a tick already queued before Stop
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
    case TimerId::closeWait:
      closeWait_Timer();
      break;
    case TimerId::curtain:
      curtain_Timer();
      break;
  }
}

}  // namespace ruskel
