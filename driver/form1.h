// The invisible timer host and its three tick handlers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/mainmod.h"

namespace ruskel {

// The window wait pauses this long between lookups: finding a window by its
// title walks every top-level window, which is not free (about 0.2 ms of CPU
// under Wine), while a new window is still typed into within a few dozen ms.
inline constexpr std::uint32_t kWindowWaitTickMs = 25;

class Form1 : public TimerHost {
 public:
  explicit Form1(PlatformOps& os);

  // The run the tick handlers work on; set before the first tick.
  void Attach(Mainmod& m) { m_ = &m; }

  void Create() override;
  void Start(TimerId timer) override;
  void Stop(TimerId timer) override;
  void SetInterval(TimerId timer, std::uint32_t intervalMs) override;
  std::uint32_t Interval(TimerId timer) const override;

  // Called by the platform's message loop for every timer tick.
  void Tick(int timerId);

  void Timkey_Timer();
  void misc_Timer();
  void timWfExit_Timer();

 private:
  struct TimerSlot {
    std::uint32_t intervalMs = 0;
    bool enabled = false;
  };

  TimerSlot& Slot(TimerId timer) { return timers_[static_cast<std::size_t>(timer)]; }
  const TimerSlot& Slot(TimerId timer) const { return timers_[static_cast<std::size_t>(timer)]; }
  void EndIfExitRequestedWhileWaiting();

  PlatformOps& os_;
  Mainmod* m_ = nullptr;
  std::array<TimerSlot, 4> timers_{};  // indexed by TimerId
  bool inHandler_ = false;
  std::optional<std::uint64_t> focusingSince_;
};

}  // namespace ruskel
