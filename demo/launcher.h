// Launcher mode: start another copy of the demo emulator from our own folder and leave at once,
// as the launchers of some emulators do.
#pragma once

#include <string>

namespace ruskel::demo {

// Starts `<exeDir>\demoemu.exe <args>`; logs LAUNCH (or ERROR) and returns whether it started.
bool LaunchEmulator(const std::string& exeDir, const std::string& args);

}  // namespace ruskel::demo
