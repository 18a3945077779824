// The three tick handlers that carry a run from the emulator's start to its end.
#include "core/emulator_window.h"
#include "core/fatal.h"
#include "core/game_selection.h"
#include "core/key_sequence.h"
#include "core/number.h"
#include "driver/exit_watch.h"
#include "driver/form1.h"

namespace ruskel {
namespace {

// Window activation is asynchronous: keys typed before the window is really in
// front get lost. Give it this long before typing anyway.
constexpr std::uint64_t kFocusSettleMs = 2000;

}  // namespace

void Form1::Timkey_Timer() {
  RunState& s = m_->State;
  if (s.WindowTitle != kNullWord) {
    // One lookup per tick, never a busy loop, so the wait costs no CPU and
    // the exit key keeps working. A fresh lookup each time also follows an
    // emulator that replaces a splash window with its main one.
    s.EmulatorWindow = LookUpEmulatorWindow(*m_);
    if (s.EmulatorWindow == 0 || !os_.IsVisible(s.EmulatorWindow)) {
      focusingSince_.reset();
      EndIfExitRequestedWhileWaiting();
      return;
    }
    const std::uint64_t now = os_.NowMs();
    if (!focusingSince_) {
      focusingSince_ = now;
      // The window is here: check for the activation at full speed from now on.
      SetInterval(TimerId::Timkey, 1);
    }
    os_.BringToFront(s.EmulatorWindow);
    if (os_.ForegroundWindow() != s.EmulatorWindow && now - *focusingSince_ < kFocusSettleMs) {
      EndIfExitRequestedWhileWaiting();
      return;
    }
  } else {
    // No window to wait for: the keys go to whatever has the focus.
    os_.BringToFront(s.EmulatorWindow);
  }

  Stop(TimerId::Timkey);
  Start(TimerId::timWfExit);
  RunSequences(*m_);
  if (Interval(TimerId::misc) > 0) Start(TimerId::misc);
}

void Form1::misc_Timer() {
  Stop(TimerId::misc);
  PlaySequence(*m_, m_->State.MiscSeq);
}

void Form1::timWfExit_Timer() {
  if (!ExitRequested(*m_)) return;
  CloseEmulator(*m_);
  EndRun(*m_, kExitNormal);
}

void Form1::EndIfExitRequestedWhileWaiting() {
  if (!ExitRequested(*m_)) return;
  // Only a window that carries the emulator's title is asked to quit: the
  // foreground window at this point is most likely the front end.
  RunState& s = m_->State;
  if (s.WindowTitle != kNullWord) {
    s.EmulatorWindow = LookUpEmulatorWindow(*m_);
    QuitEmulatorWindow(*m_);
  }
  EndRun(*m_, kExitNormal);
}

}  // namespace ruskel
