// The emulator's end: followed when it quits by itself, and closed for sure
// when the run ends: WM_QUIT, then WM_CLOSE, then (with terminate=on) by force.
#include "core/fatal.h"
#include "core/key_sequence.h"
#include "core/run_log.h"
#include "driver/form1.h"

namespace ruskel {

void Form1::BeginClose(const CloseRequest& request, int exitCode) {
  RunState& s = m_->State;
  phase_ = Phase::Closing;
  strokes_.clear();  // not one more key once the exit has come
  ReleaseHeldKeys(*m_);
  for (TimerId timer : {TimerId::Timkey, TimerId::misc, TimerId::timWfExit}) Stop(timer);
  os_.keyboard.WatchKeys(false);
  if (exitWatch_.ExitKeyIsMouseButton()) os_.keyboard.WatchMouseButtons(false);
  os_.windows.WatchWindows(false);
  LiftCurtain(*m_);
  closeExitCode_ = exitCode;

  ProcessId process = request.process;
  if (process == 0) process = s.EmulatorProcess != 0 ? s.EmulatorProcess : s.StartedProcess;
  if (request.window == 0) {
    // Nothing could be asked to quit: nothing to wait for either.
    if (s.Options.terminate && process != 0 && os_.processes.IsProcessRunning(process)) {
      os_.processes.TerminateTree(process);
      Finish(exitCode, "no emulator window to close; the emulator was ended by force");
    }
    Finish(exitCode, "no emulator window to close");
  }
  Log(*m_, "WM_QUIT posted to the emulator window, process " + std::to_string(process));
  if (s.Options.closewait == 0) Finish(exitCode, "not waiting for the emulator (closewait=0)");
  if (process == 0 || !os_.processes.IsProcessRunning(process))
    Finish(exitCode, "the emulator has quit");
  closeProcess_ = process;
  closeSent_ = false;
  os_.processes.WatchProcess(process);
  SetInterval(TimerId::closeWait, s.Options.closewait);
  Start(TimerId::closeWait);
}

void Form1::closeWait_Timer() {
  RunState& s = m_->State;
  if (!os_.processes.IsProcessRunning(closeProcess_))
    Finish(closeExitCode_, "the emulator has quit");
  if (!closeSent_) {
    closeSent_ = true;
    const auto windows = os_.windows.TopWindowsOf(closeProcess_);
    for (WindowHandle window : windows) os_.windows.PostWindowMessage(window, kWmClose, 0, 0);
    Log(*m_, "the emulator is still running after " + std::to_string(s.Options.closewait) +
                 " ms; WM_CLOSE posted to its " + std::to_string(windows.size()) + " windows");
    return;
  }
  if (s.Options.terminate) {
    if (os_.processes.TerminateTree(closeProcess_)) {
      Finish(closeExitCode_, "the emulator ignored WM_QUIT and WM_CLOSE and was ended by force");
    }
    Finish(kExitEmulatorLeft, "the emulator could not be ended by force and is still running");
  }
  Finish(kExitEmulatorLeft,
         "the emulator ignored WM_QUIT and WM_CLOSE and is left running (terminate=off)");
}

void Form1::OnProcessEnded(ProcessId process) {
  RunState& s = m_->State;
  if (phase_ == Phase::Closing) {
    if (process == closeProcess_) Finish(closeExitCode_, "the emulator has quit");
    return;
  }
  // Before its window is found the started process may be a launcher that
  // hands over to the real emulator and goes; with title "null" it is the
  // emulator itself.
  const ProcessId followed = s.EmulatorProcess != 0       ? s.EmulatorProcess
                             : s.WindowTitle == kNullWord ? s.StartedProcess
                                                          : 0;
  if (followed == 0 && process == s.StartedProcess && s.Options.follow) {
    Log(*m_, "the started process ended before its window appeared; waiting " +
                 std::to_string(kHandOverMs / 1000) + " s for a window it may have handed over to");
    startedEndedAt_ = os_.events.NowMs();
    return;
  }
  if (process != followed || process == 0) return;
  if (s.Options.follow) Finish(kExitEmulatorEnded, "the emulator ended by itself");
  Log(*m_, "the emulator ended by itself; waiting for the exit key (follow=off)");
  // A first look takes up a press since long ago (or a key of the walk).
  if (exitWatch_.ExitKey() != 0) os_.keyboard.LookAtKey(exitWatch_.ExitKey());
  emulatorGone_ = true;
  UpdateExitTimer();
}

void Form1::Finish(int exitCode, const std::string& why) {
  Log(*m_, why);
  HandOver();
  EndRun(*m_, exitCode);
}

}  // namespace ruskel
