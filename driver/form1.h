// The invisible timer host and its tick handlers: they carry a run from the
// emulator's start to its end, woken by the platform's events.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>

#include "core/emulator_window.h"
#include "core/key_sequence.h"
#include "core/mainmod.h"
#include "driver/exit_watch.h"
#include "driver/focus_keeper.h"

namespace ruskel {

// Where key events may not come, the exit key's state is looked at this
// often: during the window wait, on the wait's own ticks (under Wine raw input
// reaches no one while no window is in front), and once the emulator has gone.
// A press between two looks is still seen by its "pressed since" mark; the
// pace covers a press whose mark another program took.
inline constexpr std::uint32_t kKeyLookMs = 250;
// The wait looks for the window this often besides window events: Wine tells
// of new windows but not of windows being shown or renamed. A lookup walks
// every top-level window, so it is kept to twice a second.
inline constexpr std::uint64_t kWindowLookupMs = 500;
// Once the window is there, its activation is checked this often.
inline constexpr std::uint32_t kFocusCheckMs = 10;
// Window activation is asynchronous: keys typed before the window is really in
// front get lost. Give it this long before typing anyway.
inline constexpr std::uint64_t kFocusSettleMs = 2000;
// Windows with the title that belong to other processes are passed over this
// long: the emulator's own window is on its way.
inline constexpr std::uint64_t kForeignWindowAfterMs = 5000;
// A started process that ends before any window has come may be a launcher
// handing over to the real emulator; if no window comes within this long,
// the emulator is taken to have failed.
inline constexpr std::uint64_t kHandOverMs = 30000;
// With keydelay the first key waits at least this long after the window is in
// front: a reader that polls once per frame may not poll yet.
inline constexpr std::uint32_t kFirstKeySettleMs = 150;
// How long the emulator may take to answer before the first key.
inline constexpr std::uint32_t kWindowAnswerMs = 500;
inline constexpr std::uint32_t kPadPollMs = 50;
inline constexpr std::uint32_t kCurtainSettleMs = 500;
// At the end the exit key and button are handed back released: ruskel waits
// for them to go up, looking this often, for at most the cap.
inline constexpr std::uint32_t kReleaseLookMs = 20;
inline constexpr std::uint64_t kReleaseCapMs = 5000;

class Form1 : public TimerHost {
 public:
  explicit Form1(Platform os);

  // The run the handlers work on; set before the first event.
  void Attach(Mainmod& m) { m_ = &m; }

  void Create() override;
  void Start(TimerId timer) override;
  void Stop(TimerId timer) override;
  void SetInterval(TimerId timer, std::uint32_t intervalMs) override;
  std::uint32_t Interval(TimerId timer) const override;
  void BeginRun() override;

  // Called by the platform's message loop for every event.
  void OnEvent(const PlatformEvent& event);

  void Timkey_Timer();
  void misc_Timer();
  void timWfExit_Timer();
  void closeWait_Timer();
  void curtain_Timer();

 private:
  enum class Phase { Starting, WaitingForWindow, Focusing, StartDelay, Dialogue, Playing, Closing };
  enum class Walk { Startup, SelectAndEnter, Misc };

  struct TimerSlot {
    std::uint32_t intervalMs = 0;
    bool enabled = false;
  };

  TimerSlot& Slot(TimerId timer) { return timers_[static_cast<std::size_t>(timer)]; }
  const TimerSlot& Slot(TimerId timer) const { return timers_[static_cast<std::size_t>(timer)]; }
  void Dispatch(const PlatformEvent& event);
  void Tick(TimerId timer);

  // Window wait and focus.
  void LookForWindow();
  void Focus();
  void BeginDialogue();

  // The menu walk: strokes played back to back, or one per tick with keydelay.
  void PlayStrokes();
  // The emulator holds the front (or has it back and settled); otherwise no
  // key goes, the emulator is asked forward and the walk's pacer retries.
  bool KeysMayGo();
  bool FinishWalkStage();

  // Exit.
  void OnKey(const PlatformEvent& event);
  void CheckExitKeyState();
  bool NeedsKeyStateCheck() const;
  void ReadPads();
  std::vector<std::uint32_t> PadMasks();  // one reading per pad present
  void UpdateExitTimer();
  void RequestExit();
  void OnCloseRequest();
  // The end's last steps: keys released, the exit key and button let go,
  // the front handed back.
  void HandOver();
  void WaitForExitRelease();
  void BeginClose(const CloseRequest& request, int exitCode);
  void OnProcessEnded(ProcessId process);
  [[noreturn]] void Finish(int exitCode, const std::string& why);

  Platform os_;
  Mainmod* m_ = nullptr;
  std::array<TimerSlot, 6> timers_{};  // indexed by TimerId
  bool inHandler_ = false;

  Phase phase_ = Phase::Starting;
  std::uint64_t waitStartedAt_ = 0;
  std::uint64_t focusingSince_ = 0;
  std::optional<std::uint64_t> lastLookupAt_;
  Walk walk_ = Walk::Startup;
  std::deque<KeyStroke> strokes_;
  ExitWatch exitWatch_;
  FocusKeeper focusKeeper_;
  int focusAttempts_ = 0;
  bool emulatorGone_ = false;                    // ended by itself with follow=off
  std::optional<std::uint64_t> startedEndedAt_;  // before any window was found

  // The close: what was asked to quit, and what ends the run.
  ProcessId closeProcess_ = 0;
  bool closeSent_ = false;  // WM_CLOSE already tried
  int closeExitCode_ = 0;
};

}  // namespace ruskel
