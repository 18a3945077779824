// An emulator that runs as administrator: Windows lets no key from ruskel
// reach it, so the user is told plainly, once.
#pragma once

#include <string>

#include "core/mainmod.h"

namespace ruskel {

// What the user reads: the emulator asks to run as administrator (refused:
// it could not start; otherwise it runs above ruskel), why that breaks the
// keys, and how to fix it.
std::string ElevationMessage(const std::string& commandLine, bool refused);

// Compares the integrity level of the emulator's process with ruskel's; when
// the emulator's is higher, logs it and shows the message once a run. The run
// goes on either way.
void CheckEmulatorIntegrity(Mainmod& m);

}  // namespace ruskel
