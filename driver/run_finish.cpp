#include "driver/run_finish.h"

#include <cstdlib>

#include "core/curtain.h"
#include "core/key_sequence.h"
#include "core/run_log.h"
#include "driver/hand_over.h"

namespace ruskel {

void DesktopRestore::Restore(Mainmod& m, PointerKeeper& pointer, KeyHold& hold) {
  // First: a box or the front end must have the keyboard again.
  hold.End(m);
  if (restored_) return;
  restored_ = true;
  LiftCurtain(m);
  pointer.PutBack(m);
  ReleaseHeldKeys(m);
}

void FinishRun(Mainmod& m, const RunEnd& end, DesktopRestore& desktop, PointerKeeper& pointer,
               KeyHold& hold, const ExitWatch* exitWatch) {
  LogWhy(m, end);
  // Before any box: it must not hide behind the curtain, wants a pointer to
  // click OK, and would take a key ruskel still holds.
  desktop.Restore(m, pointer, hold);
  if (!end.message.empty()) m.Os.dialogs.ShowMessage(end.message, MessageKind::Error);
  if (exitWatch != nullptr) HandOver(m, *exitWatch);
  if (const std::uint32_t climbs = m.Os.windows.StrongFrontClimbs(); climbs > 0) {
    Log<Say::StrongFrontClimbs>(m, climbs);
  }
  Log<Say::ExitCode>(m, end.exitCode);
  m.Os.processes.EndProcess(end.exitCode);
  std::abort();  // EndProcess does not return; this keeps the promise if a platform breaks it
}

}  // namespace ruskel
