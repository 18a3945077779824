#include "demo/event_log.h"

#include <windows.h>

#include "demo/epoch_ms.h"

namespace ruskel::demo {
namespace {

HANDLE gLog = INVALID_HANDLE_VALUE;

}  // namespace

void OpenLog(const std::string& path) {
  // Shared for writing: a launcher and the emulator it starts may log to the same file.
  gLog = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CloseLog() {
  if (gLog != INVALID_HANDLE_VALUE) CloseHandle(gLog);
  gLog = INVALID_HANDLE_VALUE;
}

// One WriteFile per line on an append handle: nothing is buffered.
void Log(const std::string& event, const std::string& details) {
  if (gLog == INVALID_HANDLE_VALUE) return;
  std::string line = std::to_string(EpochMs()) + " " + event;
  if (!details.empty()) line += " " + details;
  line += "\r\n";
  DWORD written = 0;
  WriteFile(gLog, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace ruskel::demo
