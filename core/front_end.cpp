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
    Log(m,
        "front end: neither the process that started ruskel nor its parent has a visible "
        "window; the front is left as it is");
    return;
  }
  m.Os.windows.AllowForeground(frontEnd->process);
  const std::string name = "window " + Quoted(m.Os.windows.WindowTitle(frontEnd->window)) +
                           " of process " + std::to_string(frontEnd->process);
  if (!m.State.Options.focusback) {
    Log(m, "front end: " + name + " may take the front (focusback=off)");
    return;
  }
  const bool inFront = m.Os.windows.BringToFront(frontEnd->window);
  Log(m, "front end: " + name +
             (inFront ? " brought to the front" : " could not be brought to the front"));
}

}  // namespace ruskel
