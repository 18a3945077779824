// The invisible timer host. It owns the parts of a run and the run's phase,
// sets the timers each phase needs, and hands every tick and event to the
// part the phase names. The parts decide; Form1 moves the phase on.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/mainmod.h"
#include "driver/close_ladder.h"
#include "driver/emulator_life.h"
#include "driver/exit_watch.h"
#include "driver/focus_keeper.h"
#include "driver/idle_watch.h"
#include "driver/key_hold.h"
#include "driver/menu_walk.h"
#include "driver/pointer_keeper.h"
#include "driver/run_finish.h"
#include "driver/window_wait.h"

namespace ruskel {

// The curtain stays up this long after the enter sequence.
inline constexpr std::uint32_t kCurtainSettleMs = 500;
// With no window in front for this long during play, the emulator is brought
// forward again, once: the player's keys go nowhere meanwhile.
inline constexpr std::uint64_t kNoFrontGiveBackMs = 1000;

class Form1 : public TimerHost {
 public:
  // The run's record and platform, with this as its timer host.
  Form1(Platform os, RunState& state);

  // The run the handlers work on, for Main.
  Mainmod& Run() { return run_; }

  void Create() override;
  void Start(TimerId timer) override;
  void Stop(TimerId timer) override;
  void SetInterval(TimerId timer, std::uint32_t intervalMs) override;
  std::uint32_t Interval(TimerId timer) const override;
  void BeginRun() override;
  [[noreturn]] void Finish(const RunEnd& end) override;

  // Called by the platform's message loop for every event.
  void OnEvent(const PlatformEvent& event);

  void Timkey_Timer();     // the window wait and the menu walk
  void timWfExit_Timer();  // pads, and presses held toward exithold
  void misc_Timer();       // the misc sequence
  void keyLook_Timer();    // the exit key's state where key events may not come
  void closeWait_Timer();  // the close ladder's waits
  void curtain_Timer();    // the curtain, lifted a while after the walk

 private:
  // The phases of a run in order; Closing can follow any of them.
  enum class Phase {
    Starting,          // before BeginRun
    WaitingForWindow,  // WindowWait looks for the emulator's window
    Focusing,          // WindowWait brings it to the front
    StartDelay,        // startdelay before the first key
    Dialogue,          // MenuWalk types startup, select and enter
    Playing,           // the game runs; misc waits for its delay
    Misc,              // MenuWalk types the misc sequence (with keydelay)
    MiscDone,          // nothing more to type
    Closing,           // CloseLadder sees the emulator out
  };

  struct TimerSlot {
    std::uint32_t intervalMs = 0;
    bool enabled = false;
  };

  TimerSlot& Slot(TimerId timer) { return timers_[static_cast<std::size_t>(timer)]; }
  const TimerSlot& Slot(TimerId timer) const { return timers_[static_cast<std::size_t>(timer)]; }
  std::uint64_t Now() { return os_.events.NowMs(); }

  // The one place the phase changes; the timers follow.
  void SetPhase(Phase phase);
  // Every timer as the phase and the parts need it now.
  void ArmTimers();
  // The platform's timer; a timer that cannot run ends the run.
  void StartTimer(TimerId timer, std::uint32_t intervalMs);
  // Runs the timer at the interval; 0 stops it.
  void Arm(TimerId timer, std::uint32_t intervalMs);

  void Dispatch(const PlatformEvent& event);
  void Tick(TimerId timer);
  void OnKey(const PlatformEvent& event);
  void OnProcessEnded(ProcessId process);

  void LookForWindow();
  bool LookAtExitKey();  // true when it ended the run
  // Between the window wait and the close, while the emulator lives: the
  // front is watched on keyLook's ticks.
  bool WatchesFront() const;
  // True while no window holds the front: key events may not come then.
  bool NothingInFront();
  // A hung emulator is never asked forward (it would not answer); said once.
  bool EmulatorHung();
  void CheckFocus();
  void BeginDialogue();
  void PlayDialogue();
  // Play's question before each key: whether the emulator's process tree
  // holds the front (and, after losing it, has held it for a settle).
  bool EmulatorHoldsFront();
  // The walk is held: the emulator is asked forward, or the run ends once
  // focuswait is over.
  void Refocus();
  void OnWalkStep(MenuWalk::Step step, TimerId pacer);
  void RestartPacer(TimerId timer);
  // Every way out that still has an emulator to close: the close ladder, then Finish.
  void Close(const RunEnd& reason);
  // A platform call the run cannot do without has failed (error not empty): the run ends.
  void Require(const std::string& error, const std::string& what);

  Platform os_;
  Mainmod run_;
  std::array<TimerSlot, 7> timers_{};  // indexed by TimerId
  bool inHandler_ = false;
  bool finishing_ = false;  // no event is handled once the end has begun
  Phase phase_ = Phase::Starting;

  WindowWait wait_;
  MenuWalk walk_;
  ExitWatch exitWatch_;
  EmulatorLife life_;
  CloseLadder ladder_;
  FocusKeeper focus_;
  PointerKeeper pointer_;
  DesktopRestore desktop_;
  KeyHold hold_;
  IdleWatch idle_;
  FocusKeeper::Verdict frontVerdict_ = FocusKeeper::Verdict::Type;  // the last answer to Play
  bool held_ = false;  // the walk waits for the emulator to hold the front
  int focusAttempts_ = 0;
  // Set while no window held the front at the last look: since when.
  std::optional<std::uint64_t> noFrontSince_;
  bool frontGivenBack_ = false;  // the emulator was brought forward in this stretch
  bool hungLogged_ = false;
};

}  // namespace ruskel
