// The emulator closed for sure when the run ends: WM_QUIT, a wait, WM_CLOSE
// to its windows, a second wait, then (with terminate=on) by force.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/mainmod.h"
#include "core/run_end.h"

namespace ruskel {

class CloseLadder {
 public:
  // Posts WM_QUIT: during the window wait only to a window the window rule
  // matches (the one in front is most likely the front end's) or, when none
  // does, to the started emulator's own window; else to the emulator's window
  // as the close mode says. Returns the end of the run when there is nothing
  // to wait for. An emulator still loading, with no window yet, is given
  // one closewait to show one before the ladder starts.
  std::optional<RunEnd> Begin(Mainmod& m, bool matchedWindowOnly, int exitCode);
  // The wait is over: WM_CLOSE the first time, then force or give up.
  std::optional<RunEnd> WaitElapsed(Mainmod& m);
  // For a run that cannot wait (Windows refused its timer or key watch): the
  // started emulator's matched or own window is asked to quit, or the
  // emulator is ended at once when it has no window yet. Nothing is waited for.
  static void QuitWithoutWaiting(Mainmod& m);
  // A watched process has ended.
  std::optional<RunEnd> ProcessEnded(ProcessId process) const;

  // closeWait runs while the ladder waits for the emulator.
  bool Waiting() const { return process_ != 0; }

 private:
  static std::vector<WindowHandle> ClosableWindows(Mainmod& m, ProcessId process);
  std::optional<RunEnd> Wait(Mainmod& m, ProcessId process);
  // Every end says so when no window matched the window rule.
  RunEnd End(int exitCode, const std::string& why) const {
    return {exitCode, noneMatched_ ? Compose<Say::NoWindowMatchedEnd>(why) : why};
  }
  RunEnd Quit() const { return End(exitCode_, Compose<Say::HasQuit>()); }

  ProcessId process_ = 0;   // what was asked to quit and is waited for
  bool closeSent_ = false;  // WM_CLOSE already tried
  bool windowless_ = false;  // waiting for a window to ask to quit
  int exitCode_ = 0;
  bool noneMatched_ = false;  // no window matched the window rule
};

}  // namespace ruskel
