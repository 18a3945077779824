// The demo emulator's event log: one line per event, `<epoch ms> <EVENT> <details>`, written the
// moment it happens so that a test reading the file while we run sees every event.
#pragma once

#include <string>

namespace ruskel::demo {

void OpenLog(const std::string& path);
void CloseLog();
void Log(const std::string& event, const std::string& details = "");

}  // namespace ruskel::demo
