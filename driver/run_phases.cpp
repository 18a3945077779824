// The run from the emulator's start to the game: window wait, focus, the menu
// walk and the misc sequence.
#include <algorithm>

#include "core/elevation.h"
#include "core/emulator_window.h"
#include "core/fatal.h"
#include "core/game_selection.h"
#include "core/number.h"
#include "core/run_log.h"
#include "core/text.h"
#include "driver/form1.h"

namespace ruskel {

void Form1::BeginRun() {
  RunState& s = m_->State;
  const std::uint64_t now = os_.events.NowMs();
  ExitWatch::Settings exit;
  const auto key = ToInt32(s.ExitKey);
  exit.exitKey = key && *key > 0 && *key <= 255 ? *key : 0;
  exit.exitButton = s.ExitButton;
  exit.holdMs = s.Options.exithold;
  // The first look also takes up a press from before the run.
  exitWatch_.Start(exit, now, exit.exitKey != 0 && os_.keyboard.LookAtKey(exit.exitKey).down);
  if (exit.exitKey != 0) os_.keyboard.WatchKeys(true);
  if (exitWatch_.ExitKeyIsMouseButton()) os_.keyboard.WatchMouseButtons(true);
  if (s.StartedProcess != 0) os_.processes.WatchProcess(s.StartedProcess);

  focusKeeper_.Start(s.Options.focuswait);
  if (s.WindowTitle != kNullWord) Log(*m_, "waiting for a window titled " + Quoted(s.WindowTitle));
  waitStartedAt_ = now;
  phase_ = Phase::WaitingForWindow;
  UpdateExitTimer();
  if (s.WindowTitle != kNullWord) os_.windows.WatchWindows(true);
  // A first look soon (a single-instance emulator's window may be up
  // already), then at the wait's own pace between window events.
  SetInterval(TimerId::Timkey, kFocusCheckMs);
  Start(TimerId::Timkey);
}

void Form1::Timkey_Timer() {
  switch (phase_) {
    case Phase::WaitingForWindow:
      CheckExitKeyState();
      if (phase_ != Phase::WaitingForWindow) break;
      if (!lastLookupAt_ || os_.events.NowMs() - *lastLookupAt_ >= kWindowLookupMs) LookForWindow();
      break;
    case Phase::Focusing:
      CheckExitKeyState();
      if (phase_ == Phase::Focusing) Focus();
      break;
    case Phase::StartDelay:
      // Something may have taken the front meanwhile.
      os_.windows.BringToFront(m_->State.EmulatorWindow);
      BeginDialogue();
      break;
    case Phase::Dialogue:
      SetInterval(TimerId::Timkey, m_->State.Options.keydelay);
      PlayStrokes();
      break;
    case Phase::Starting:
    case Phase::Playing:
    case Phase::Closing:
      Stop(TimerId::Timkey);
      break;
  }
}

void Form1::LookForWindow() {
  RunState& s = m_->State;
  if (s.WindowTitle == kNullWord) {
    // No window to wait for: the keys go to whatever has the focus.
    os_.windows.BringToFront(s.EmulatorWindow);
    Log(*m_, "window title \"null\": typing into whatever has the focus");
    BeginDialogue();
    return;
  }
  // Another program's window with the title (one left over from an earlier
  // run) would get every key; it is taken only when none of ours comes.
  lastLookupAt_ = os_.events.NowMs();
  const bool othersToo = os_.events.NowMs() - waitStartedAt_ >= kForeignWindowAfterMs;
  const auto window = ChooseEmulatorWindow(*m_, othersToo);
  if (!window) {
    SetInterval(TimerId::Timkey, kKeyLookMs);
    if (startedEndedAt_ && os_.events.NowMs() - *startedEndedAt_ >= kHandOverMs) {
      Finish(kExitEmulatorEnded, "no window came: the emulator ended before showing one");
    }
    return;
  }
  os_.windows.WatchWindows(false);
  s.EmulatorWindow = window->handle;
  s.EmulatorProcess = window->processId;
  if (s.EmulatorProcess != s.StartedProcess && s.EmulatorProcess != 0) {
    os_.processes.WatchProcess(s.EmulatorProcess);
  }
  Log(*m_, "window found, process " + std::to_string(s.EmulatorProcess) +
               (InEmulatorTree(*m_, s.EmulatorProcess) ? "" : " (not started by ruskel)") +
               (window->visible ? "" : ", not visible yet"));
  CheckEmulatorIntegrity(*m_);
  phase_ = Phase::Focusing;
  focusingSince_ = os_.events.NowMs();
  SetInterval(TimerId::Timkey, kFocusCheckMs);
  Focus();
}

void Form1::Focus() {
  RunState& s = m_->State;
  // A fresh choice each time also follows an emulator that replaces a
  // splash window with its main one.
  const auto window = ChooseEmulatorWindow(*m_, true);
  if (!window) {
    phase_ = Phase::WaitingForWindow;
    SetInterval(TimerId::Timkey, kKeyLookMs);
    os_.windows.WatchWindows(true);
    return;
  }
  s.EmulatorWindow = window->handle;
  const std::uint64_t waited = os_.events.NowMs() - focusingSince_;
  const bool settled = waited >= kFocusSettleMs;
  // A window that stays hidden is typed into all the same once settled.
  if (!os_.windows.IsVisible(s.EmulatorWindow) && !settled) return;
  os_.windows.BringToFront(s.EmulatorWindow);
  const bool inFront = os_.windows.ForegroundWindow() == s.EmulatorWindow;
  if (!inFront && !settled) return;
  Log(*m_, inFront ? "window in front after " + std::to_string(waited) + " ms"
                   : "window not in front after " + std::to_string(waited) + " ms (visible " +
                         (os_.windows.IsVisible(s.EmulatorWindow) ? "yes" : "no") +
                         "); the walk waits for it");
  const std::uint32_t delay = s.Options.startdelay;
  if (delay > 0) {
    phase_ = Phase::StartDelay;
    SetInterval(TimerId::Timkey, delay);
    return;
  }
  BeginDialogue();
}

void Form1::BeginDialogue() {
  RunState& s = m_->State;
  // The emulator takes its activation as a message: keys typed before it has
  // handled it are lost to readers that take the keyboard on activation
  // (DirectInput) or that only count keys while in front (raw input).
  if (s.EmulatorWindow != 0 &&
      !os_.windows.WaitUntilWindowResponds(s.EmulatorWindow, kWindowAnswerMs)) {
    Log(*m_, "the emulator window did not answer within " + std::to_string(kWindowAnswerMs) +
                 " ms; typing anyway");
  }
  phase_ = Phase::Dialogue;
  UpdateExitTimer();
  walk_ = Walk::Startup;
  const auto startup = StrokesOf(*m_, s.StartupSeq);
  strokes_.assign(startup.begin(), startup.end());
  Log(*m_, "startup sequence: " + std::to_string(strokes_.size()) + " key events");
  const std::uint32_t delay = s.Options.keydelay;
  if (delay == 0) {
    PlayStrokes();
    return;
  }
  // With a delay Timkey paces the walk, one key event per tick, and the
  // first key waits a pause too: an emulator that has just come to the
  // front may not read input yet, and readers that poll need to see the
  // key go down from up.
  SetInterval(TimerId::Timkey, std::max(delay, kFirstKeySettleMs));
}

void Form1::PlayStrokes() {
  const std::uint32_t delay = m_->State.Options.keydelay;
  for (;;) {
    if (strokes_.empty()) {
      if (!FinishWalkStage()) return;
      continue;
    }
    if (!KeysMayGo()) return;
    SendStroke(*m_, strokes_.front());
    strokes_.pop_front();
    // With a delay the key is held (or released) until the pacer's next tick.
    if (delay > 0) return;
  }
}

// Moves the walk on once a stage's strokes have all been sent; false when
// nothing more is to be typed now.
bool Form1::FinishWalkStage() {
  RunState& s = m_->State;
  switch (walk_) {
    case Walk::Startup: {
      FindGame(*m_);
      if (s.GameIndex == -1) {
        Log(*m_, "rom " + Quoted(s.RomName) + " is not in the game list");
        BeginClose(CloseEmulator(*m_), kExitRomNotListed);
        return false;
      }
      const auto strokes = SelectAndEnterStrokes(*m_);
      strokes_.assign(strokes.begin(), strokes.end());
      walk_ = Walk::SelectAndEnter;
      Log(*m_, "rom found in slot " + std::to_string(s.GameIndex) + ": select sequence " +
                   std::to_string(s.GameIndex) + " times, then enter, " +
                   std::to_string(strokes_.size()) + " key events");
      return true;
    }
    case Walk::SelectAndEnter:
      Stop(TimerId::Timkey);
      phase_ = Phase::Playing;
      Log(*m_, "enter sequence sent");
      if (s.CurtainShown) Start(TimerId::curtain);
      if (Interval(TimerId::misc) > 0) Start(TimerId::misc);
      return false;
    case Walk::Misc:
      Stop(TimerId::misc);
      Log(*m_, "misc sequence sent");
      return false;
  }
  return false;
}

void Form1::misc_Timer() {
  if (phase_ != Phase::Playing) {
    Stop(TimerId::misc);
    return;
  }
  if (walk_ != Walk::Misc) {
    walk_ = Walk::Misc;
    const auto misc = StrokesOf(*m_, m_->State.MiscSeq);
    strokes_.assign(misc.begin(), misc.end());
    Log(*m_, "misc sequence: " + std::to_string(strokes_.size()) + " key events");
    if (m_->State.Options.keydelay == 0) Stop(TimerId::misc);
  }
  // Back to the key pace after a wait for the front.
  if (m_->State.Options.keydelay > 0) SetInterval(TimerId::misc, m_->State.Options.keydelay);
  PlayStrokes();
}

void Form1::curtain_Timer() {
  Stop(TimerId::curtain);
  Log(*m_, "curtain lifted");
  LiftCurtain(*m_);
}

}  // namespace ruskel
