#include "core/fatal.h"

#include <cstdlib>

namespace ruskel {

void EndRun(Mainmod& m, int exitCode) {
  m.Os.EndProcess(exitCode);
  std::abort();  // EndProcess does not return; this keeps the promise if a platform breaks it
}

void Fatal(Mainmod& m, const std::string& message, int exitCode) {
  m.Os.ShowMessage(message, MessageKind::Error);
  EndRun(m, exitCode);
}

}  // namespace ruskel
