// Start-up: from the process's first instruction to a running emulator and an
// armed Timkey.
#pragma once

#include "core/mainmod.h"

namespace ruskel {

void Main(Mainmod& m);
void StartEmulator(Mainmod& m);

}  // namespace ruskel
