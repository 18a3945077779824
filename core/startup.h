// Start-up: from the process's first instruction to a running emulator and an
// armed Timkey.
#pragma once

#include <string>

#include "core/emulator_path.h"
#include "core/mainmod.h"

namespace ruskel {

void Main(Mainmod& m);
void StartEmulator(Mainmod& m);

// The emulator's start as a run makes it: the program of exe= looked up under
// programDir only, started in that folder. ruskel-check --windows starts it so too.
struct EmulatorLaunch {
  ProcessStart start;     // applicationName and commandLine set when the program was found
  ProgramLookup program;  // what was looked at
};
EmulatorLaunch PrepareEmulatorStart(const RunState& s, const std::string& programDir,
                                    FileOps& files);

}  // namespace ruskel
