#include "core/front_end.h"

#include "core/run_log.h"
#include "core/text.h"

namespace ruskel {

std::optional<FrontEnd> FindFrontEnd(Mainmod& m) {
  ProcessOps& processes = m.Os.processes;
  ProcessId process = processes.OwnProcess();
  for (int depth = 0; depth < kFrontEndAncestors; ++depth) {
    process = processes.ParentProcess(process);
    if (process == 0) return std::nullopt;
    for (WindowHandle window : m.Os.windows.TopWindowsOf(process)) {
      if (m.Os.windows.IsVisible(window)) return FrontEnd{process, window};
    }
  }
  return std::nullopt;
}

void HandBackFront(Mainmod& m) {
  const auto frontEnd = FindFrontEnd(m);
  if (!frontEnd) {
    Log<Say::FrontEndNone>(m);
    return;
  }
  m.Os.windows.AllowForeground(frontEnd->process);
  const std::string title = Quoted(m.Os.windows.WindowTitle(frontEnd->window));
  if (!m.State.Options.focusback) {
    Log<Say::FrontEndMayTake>(m, title, frontEnd->process);
    return;
  }
  if (m.Os.windows.BringToFront(frontEnd->window)) {
    Log<Say::FrontEndBrought>(m, title, frontEnd->process);
  } else {
    Log<Say::FrontEndNotBrought>(m, title, frontEnd->process);
  }
}

}  // namespace ruskel
