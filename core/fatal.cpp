#include "core/fatal.h"

#include <cstdlib>

#include "core/key_sequence.h"
#include "core/run_log.h"

namespace ruskel {

void LiftCurtain(Mainmod& m) {
  if (!m.State.CurtainShown) return;
  m.Os.dialogs.ShowCurtain(false);
  m.State.CurtainShown = false;
}

void EndRun(Mainmod& m, int exitCode) {
  m.Form.RunEnding();
  LiftCurtain(m);
  ReleaseHeldKeys(m);
  Log(m, "exit code " + std::to_string(exitCode));
  m.Os.processes.EndProcess(exitCode);
  std::abort();  // EndProcess does not return; this keeps the promise if a platform breaks it
}

void Fatal(Mainmod& m, const std::string& message, int exitCode) {
  // The box must never hide behind the curtain, and wants a pointer to click OK.
  m.Form.RunEnding();
  LiftCurtain(m);
  ReleaseHeldKeys(m);  // the box takes the front: a held key would go to it
  Log(m, "error: " + message);
  m.Os.dialogs.ShowMessage(message, MessageKind::Error);
  EndRun(m, exitCode);
}

}  // namespace ruskel
