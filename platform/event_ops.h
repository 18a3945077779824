// The clock, the timers and the one event handler that wakes the driver.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/process_ops.h"

namespace ruskel {

// What wakes the driver. Delivered on the one thread, one at a time, never
// while a previous event is being handled.
enum class EventKind {
  Timer,           // timerId
  KeyDown,         // virtualKey: a key pressed on any keyboard or sent by another program
  KeyUp,           // virtualKey
  WindowsChanged,  // a top-level window was created, shown or renamed somewhere
  ProcessEnded,    // processId: a process given to WatchProcess has ended
  CloseRequested,  // ruskel is asked to close (WM_CLOSE, or Windows is ending the session)
};

struct PlatformEvent {
  EventKind kind = EventKind::Timer;
  int timerId = 0;
  std::int32_t virtualKey = 0;
  ProcessId processId = 0;
};

class EventOps {
 public:
  virtual ~EventOps() = default;

  // The invisible host window; events arrive through the event handler.
  // Empty when done, else the system's reason (then no timer or key watch works).
  virtual std::string CreateTimerWindow() = 0;
  virtual void SetEventHandler(std::function<void(const PlatformEvent&)> handler) = 0;
  // Starts or restarts a timer; empty when done, else the system's reason.
  virtual std::string StartTimer(int timerId, std::uint32_t intervalMs) = 0;
  virtual void StopTimer(int timerId) = 0;
  virtual std::uint64_t NowMs() = 0;        // monotonic milliseconds
  virtual std::string LocalDateTime() = 0;  // "2024-05-31 18:04:05"
  // Waits without handling events, for the few last moments of a run.
  virtual void Pause(std::uint32_t ms) = 0;
};

}  // namespace ruskel
