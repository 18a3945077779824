// The two ways a run ends: a plain end of the process, and a fatal error that
// the user sees in a message box first.
#pragma once

#include <string>

#include "core/mainmod.h"

namespace ruskel {

[[noreturn]] void EndRun(Mainmod& m, int exitCode);
[[noreturn]] void Fatal(Mainmod& m, const std::string& message, int exitCode);

// Hides the black curtain over the screen, when it is up.
void LiftCurtain(Mainmod& m);

}  // namespace ruskel
