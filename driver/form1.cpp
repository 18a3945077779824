#include "driver/form1.h"

#include <algorithm>
#include <vector>

#include "core/curtain.h"
#include "core/run_log.h"
#include "core/text.h"
#include "core/window_match.h"
#include "driver/pad_reading.h"

namespace ruskel {
namespace {

// The shorter of two timer intervals, where 0 is none.
std::uint32_t Sooner(std::uint32_t a, std::uint32_t b) {
  return a == 0 ? b : b == 0 ? a : std::min(a, b);
}

}  // namespace

Form1::Form1(Platform os, RunState& state) : os_(os), run_{state, os, *this} {
  Slot(TimerId::curtain).intervalMs = kCurtainSettleMs;
}

void Form1::Create() {
  Require(os_.events.CreateTimerWindow(), Compose<Say::CannotCreateWindow>());
  os_.events.SetEventHandler([this](const PlatformEvent& event) { OnEvent(event); });
  // Cursors blank while a run from this folder is on are that run's.
  if (!run_.State.AnotherRunOn) pointer_.RestoreLeftBlank(os_.cursor);
}

void Form1::Start(TimerId timer) {
  TimerSlot& slot = Slot(timer);
  slot.enabled = true;
  // A timer with interval 0 is enabled but never ticks.
  if (slot.intervalMs > 0) StartTimer(timer, slot.intervalMs);
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
    StartTimer(timer, intervalMs);
  } else {
    os_.events.StopTimer(static_cast<int>(timer));
  }
}

void Form1::StartTimer(TimerId timer, std::uint32_t intervalMs) {
  const int id = static_cast<int>(timer);
  Require(os_.events.StartTimer(id, intervalMs), Compose<Say::CannotStartTimer>(id));
}

std::uint32_t Form1::Interval(TimerId timer) const {
  return Slot(timer).intervalMs;
}

void Form1::BeginRun() {
  RunState& s = run_.State;
  const std::uint64_t now = Now();
  const ExitWatch::Settings exit = ExitWatch::SettingsOf(s);
  // The first look also takes up a press from before the run.
  exitWatch_.Start(exit, now, exit.exitKey && os_.keyboard.LookAtKey(*exit.exitKey).down);
  // idleexit counts the player's keys too.
  if (exit.exitKey || s.Options.idleexit > 0) {
    Require(os_.keyboard.WatchKeys(true), Compose<Say::CannotWatchKeyboard>());
  }
  if (exitWatch_.ExitKeyIsMouseButton()) {
    Require(os_.keyboard.WatchMouseButtons(true), Compose<Say::CannotWatchMouse>());
  }
  if (s.StartedProcess != 0) os_.processes.WatchProcess(s.StartedProcess);
  if (LooksForWindow(s)) {
    os_.windows.WatchWindows(true);
    if (s.Options.match == MatchRule::Own) {
      Log<Say::WaitingForOwnWindow>(run_, WindowRuleWords(s));
    } else {
      Log<Say::WaitingForWindow>(run_, WindowRuleWords(s));
    }
  }
  focus_.Start(s.Options.focuswait);
  pointer_.Begin(run_);
  wait_.Start(now);
  SetPhase(Phase::WaitingForWindow);
}

void Form1::SetPhase(Phase phase) {
  phase_ = phase;
  // From the start delay on: a key that reaches the menu while ruskel waits
  // to type moves it off the game as surely as one during the walk.
  if (phase == Phase::StartDelay || phase == Phase::Dialogue || phase == Phase::Misc) {
    hold_.Begin(run_, exitWatch_.ExitKey());
  } else {
    hold_.End(run_);
  }
  if (phase == Phase::Playing && !idle_.Watching()) idle_.Start(run_.State.Options.idleexit, Now());
  if (phase == Phase::Closing) {
    walk_.Stop();  // not one more key once the exit has come
    held_ = false;
    desktop_.Restore(run_, pointer_, hold_);
    os_.keyboard.WatchKeys(false);
    if (exitWatch_.ExitKeyIsMouseButton()) os_.keyboard.WatchMouseButtons(false);
    os_.windows.WatchWindows(false);
  }
  ArmTimers();
}

void Form1::ArmTimers() {
  if (phase_ == Phase::Starting) return;
  const RunState& s = run_.State;
  const bool closing = phase_ == Phase::Closing;
  const bool waiting = phase_ == Phase::WaitingForWindow || phase_ == Phase::Focusing;
  const bool played =
      phase_ == Phase::Playing || phase_ == Phase::Misc || phase_ == Phase::MiscDone;
  std::uint32_t timkey = 0;
  switch (phase_) {
    case Phase::WaitingForWindow:
      timkey = wait_.LookPaceMs(Now());
      break;
    case Phase::Focusing:
      timkey = kFocusCheckMs;
      break;
    case Phase::StartDelay:
      timkey = s.Options.startdelay;
      break;
    case Phase::Dialogue:
      // 0: typed back to back, no ticks; while held, asked again for the front.
      timkey = held_ ? kRefocusRetryMs : walk_.PaceMs(run_);
      break;
    default:
      break;
  }
  Arm(TimerId::Timkey, timkey);
  // Otherwise the run waits on events alone.
  Arm(TimerId::timWfExit, closing ? 0 : Sooner(exitWatch_.PollMs(), idle_.PollMs()));
  const std::uint32_t misc = phase_ == Phase::Playing ? Interval(TimerId::misc)
                             : phase_ == Phase::Misc
                                 ? (held_ ? kRefocusRetryMs : walk_.PaceMs(run_))
                                 : 0;
  Arm(TimerId::misc, misc);
  Arm(TimerId::closeWait, closing && ladder_.Waiting() ? s.Options.closewait : 0);
  Arm(TimerId::curtain, played && s.CurtainShown ? Interval(TimerId::curtain) : 0);
  // The window wait looks on Timkey's own ticks.
  const bool looking = exitWatch_.ExitKey() != 0 && !closing && phase_ != Phase::WaitingForWindow &&
                       (waiting || life_.Gone() || (noFrontSince_ && WatchesFront()));
  Arm(TimerId::keyLook, looking ? kKeyLookMs : WatchesFront() ? kFrontLookMs : 0);
}

void Form1::Arm(TimerId timer, std::uint32_t intervalMs) {
  if (intervalMs == 0) {
    Stop(timer);
    return;
  }
  SetInterval(timer, intervalMs);
  if (!Slot(timer).enabled) Start(timer);
}

void Form1::OnEvent(const PlatformEvent& event) {
  // A message box inside a handler pumps messages; its events must not re-enter.
  if (inHandler_ || finishing_) return;
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(inHandler_);
  Dispatch(event);
  ArmTimers();
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
      if (phase_ != Phase::Closing) {
        Close({kExitNormal, Compose<Say::CloseRequested>()});
      }
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
    case TimerId::keyLook:
      keyLook_Timer();
      break;
  }
}

// --- The window wait and the menu walk ---

void Form1::Timkey_Timer() {
  switch (phase_) {
    case Phase::WaitingForWindow:
      // One wake-up for both: each timer tick is what the wait costs.
      if (LookAtExitKey()) return;
      LookForWindow();
      break;
    case Phase::Focusing:
      CheckFocus();
      break;
    case Phase::StartDelay:
      wait_.BringBack(run_);
      pointer_.EmulatorForward(run_);
      BeginDialogue();
      break;
    case Phase::Dialogue:
      PlayDialogue();
      break;
    default:
      break;
  }
}

void Form1::LookForWindow() {
  const std::uint64_t now = Now();
  switch (wait_.LookForWindow(run_, now)) {
    case WindowWait::Look::NotYet:
      if (auto end = life_.HandOverFailed(now)) Finish(*end);
      break;
    case WindowWait::Look::Found:
      pointer_.EmulatorForward(run_);
      SetPhase(Phase::Focusing);
      CheckFocus();
      break;
    case WindowWait::Look::NoTitle:
      pointer_.EmulatorForward(run_);
      BeginDialogue();
      break;
  }
}

void Form1::CheckFocus() {
  switch (wait_.CheckFocus(run_, Now())) {
    case WindowWait::Focus::Lost:
      SetPhase(Phase::WaitingForWindow);
      break;
    case WindowWait::Focus::Settling:
      break;
    case WindowWait::Focus::Ready:
      if (run_.State.Options.startdelay > 0) {
        SetPhase(Phase::StartDelay);
      } else {
        BeginDialogue();
      }
      break;
  }
}

void Form1::BeginDialogue() {
  walk_.Begin(run_);
  SetPhase(Phase::Dialogue);
  // With keydelay Timkey paces the walk; without it the whole walk is typed now.
  if (run_.State.Options.keydelay == 0) PlayDialogue();
}

void Form1::PlayDialogue() {
  OnWalkStep(walk_.Play(run_, [this] { return EmulatorHoldsFront(); }), TimerId::Timkey);
}

void Form1::misc_Timer() {
  if (phase_ == Phase::Playing) {
    walk_.BeginMisc(run_);
    SetPhase(Phase::Misc);
  }
  OnWalkStep(walk_.Play(run_, [this] { return EmulatorHoldsFront(); }), TimerId::misc);
}

void Form1::OnWalkStep(MenuWalk::Step step, TimerId pacer) {
  held_ = step == MenuWalk::Step::Held;
  switch (step) {
    case MenuWalk::Step::Paced:
      RestartPacer(pacer);
      break;
    case MenuWalk::Step::Held:
      Refocus();
      break;
    case MenuWalk::Step::Waiting:
      break;  // the pacer looks again after the walk's PaceMs
    case MenuWalk::Step::Done:
      SetPhase(pacer == TimerId::misc ? Phase::MiscDone : Phase::Playing);
      break;
    case MenuWalk::Step::RomNotListed:
      Close({kExitRomNotListed, ""});
      break;
    case MenuWalk::Step::WaitTimedOut:
      Close({kExitWaitTimedOut, walk_.TimeoutText()});
      break;
  }
}

bool Form1::EmulatorHoldsFront() {
  const RunState& s = run_.State;
  // Title "null": the keys go to whatever has the focus, by design.
  if (!LooksForWindow(s)) return true;
  const std::uint64_t now = Now();
  const WindowHandle front = os_.windows.ForegroundWindow();
  const bool inFront = front != 0 && InEmulatorTree(run_, os_.windows.WindowProcess(front));
  const std::uint64_t lostFor = focus_.LostFor(now);
  frontVerdict_ = focus_.Check(inFront, now);
  if (frontVerdict_ != FocusKeeper::Verdict::Type) return false;
  if (lostFor > 0) {
    Log<Say::BackInFront>(run_, lostFor);
  }
  return true;
}

void Form1::Refocus() {
  const RunState& s = run_.State;
  if (frontVerdict_ == FocusKeeper::Verdict::GiveUp) {
    Close({kExitNoFocus, Compose<Say::FocusGivenUp>(s.Options.focuswait)});
    return;
  }
  const WindowHandle front = os_.windows.ForegroundWindow();
  const ProcessId frontProcess = front != 0 ? os_.windows.WindowProcess(front) : 0;
  if (InEmulatorTree(run_, frontProcess)) return;  // back in front, settling
  if (EmulatorHung()) return;
  ++focusAttempts_;
  const bool brought = os_.windows.BringToFront(s.EmulatorWindow);
  pointer_.EmulatorForward(run_);
  const std::string title = Quoted(os_.windows.WindowTitle(front));
  if (brought) {
    Log<Say::FocusAttemptBrought>(run_, focusAttempts_, title, frontProcess);
  } else {
    Log<Say::FocusAttemptNotBrought>(run_, focusAttempts_, title, frontProcess);
  }
}

// A timer keeps its own beat: after a tick that came late the next one comes
// early, and the key then held (or released) for less than keydelay may fall
// between two frames of a reader that polls. Counted again from the key just
// sent, every key is held the whole delay.
void Form1::RestartPacer(TimerId timer) {
  if (run_.State.Options.keydelay > 0 && Slot(timer).enabled) Start(timer);
}

void Form1::curtain_Timer() {
  Log<Say::CurtainLifted>(run_);
  LiftCurtain(run_);
}

// --- The exit ---

void Form1::OnKey(const PlatformEvent& event) {
  if (phase_ == Phase::Closing) return;
  if (event.kind == EventKind::KeyUp) {
    exitWatch_.KeyUp(event.virtualKey);
    return;
  }
  idle_.Pressed(Now());
  if (exitWatch_.KeyDown(event.virtualKey, Now())) {
    Close({kExitNormal, Compose<Say::ExitKeyPressed>(event.virtualKey)});
  }
}

void Form1::keyLook_Timer() {
  // During play key events come; the key is looked at only while nothing is in front.
  if (WatchesFront() && !NothingInFront()) return;
  LookAtExitKey();
}

bool Form1::WatchesFront() const {
  const bool between = phase_ == Phase::StartDelay || phase_ == Phase::Dialogue ||
                       phase_ == Phase::Playing || phase_ == Phase::Misc ||
                       phase_ == Phase::MiscDone;
  return between && exitWatch_.ExitKey() != 0 && !life_.Gone();
}

bool Form1::NothingInFront() {
  if (os_.windows.ForegroundWindow() != 0) {
    noFrontSince_.reset();
    return false;
  }
  const std::uint64_t now = Now();
  if (!noFrontSince_) {
    noFrontSince_ = now;
    frontGivenBack_ = false;
    Log<Say::NoWindowInFront>(run_);
    return true;
  }
  // A walk that is held asks for the front by itself.
  const RunState& s = run_.State;
  if (frontGivenBack_ || held_ || !LooksForWindow(s) || now - *noFrontSince_ < kNoFrontGiveBackMs) {
    return true;
  }
  frontGivenBack_ = true;
  if (EmulatorHung()) return true;
  const bool brought = os_.windows.BringToFront(s.EmulatorWindow);
  pointer_.EmulatorForward(run_);
  Log<Say::EmulatorForwardAgain>(run_, now - *noFrontSince_,
                                 brought ? "it holds the front" : "refused");
  return true;
}

bool Form1::EmulatorHung() {
  if (!os_.windows.IsHung(run_.State.EmulatorWindow)) return false;
  if (!hungLogged_) Log<Say::EmulatorHung>(run_);
  hungLogged_ = true;
  return true;
}

bool Form1::LookAtExitKey() {
  const std::int32_t key = exitWatch_.ExitKey();
  if (key == 0 || !exitWatch_.KeyLooked(os_.keyboard.LookAtKey(key), Now())) return false;
  Close({kExitNormal, Compose<Say::ExitKeyPressed>(key)});
  return true;
}

void Form1::timWfExit_Timer() {
  RunState& s = run_.State;
  const std::uint64_t now = Now();
  const bool readPads = exitWatch_.WatchesButton() || idle_.Watching();
  const std::vector<std::uint32_t> masks =
      readPads ? ReadPadMasks(os_.pads, s.Options.joystick) : std::vector<std::uint32_t>{};
  if (exitWatch_.WatchesButton() && exitWatch_.PadsRead(masks, now)) {
    Close({kExitNormal, Compose<Say::ExitButtonHeld>(*s.ExitButton)});
  } else if (exitWatch_.HoldElapsed(now)) {
    Close({kExitNormal, Compose<Say::ExitHeld>(s.Options.exithold)});
  } else if (idle_.Watching()) {
    idle_.PadsRead(masks, now);
    idle_.LookAtMouse(os_.keyboard, exitWatch_.ExitKey(), now);
    if (idle_.Elapsed(now)) Close({kExitNormal, Compose<Say::IdleClose>(idle_.Seconds())});
  }
}

// --- The emulator's end ---

void Form1::Close(const RunEnd& reason) {
  LogWhy(run_, reason);
  // During the window wait the foreground window is most likely the front
  // end: only a window the window rule matches is asked to quit.
  const bool waiting = phase_ == Phase::WaitingForWindow || phase_ == Phase::Focusing;
  SetPhase(Phase::Closing);
  if (auto end = ladder_.Begin(run_, waiting, reason.exitCode)) Finish(*end);
  ArmTimers();
}

void Form1::closeWait_Timer() {
  if (auto end = ladder_.WaitElapsed(run_)) Finish(*end);
}

void Form1::OnProcessEnded(ProcessId process) {
  if (phase_ == Phase::Closing) {
    if (auto end = ladder_.ProcessEnded(process)) Finish(*end);
    return;
  }
  switch (life_.ProcessEnded(run_, process, Now())) {
    case EmulatorLife::Seen::Nothing:
      break;
    case EmulatorLife::Seen::Gone:
      // A first look takes up a press since long ago (or a key of the walk).
      if (exitWatch_.ExitKey() != 0) os_.keyboard.LookAtKey(exitWatch_.ExitKey());
      break;
    case EmulatorLife::Seen::EndedByItself:
      Finish(EmulatorLife::EndedByItself());
  }
}

void Form1::Require(const std::string& error, const std::string& what) {
  if (error.empty()) return;
  // An emulator already started would be left running with no one to close
  // it: without the timer or the key watch the run cannot wait for it, so it
  // is asked to quit now, or ended at once when it has no window yet.
  if (phase_ != Phase::Closing && !finishing_) CloseLadder::QuitWithoutWaiting(run_);
  Finish(RunEnd::Error(kExitSystemRefused, Compose<Say::SystemRefused>(what, error)));
}

void Form1::Finish(const RunEnd& end) {
  finishing_ = true;
  walk_.Stop();
  held_ = false;
  // Before the run began there is no exit key to wait for, and the front end
  // kept the front.
  FinishRun(run_, end, desktop_, pointer_, hold_,
            phase_ == Phase::Starting ? nullptr : &exitWatch_);
}

}  // namespace ruskel
