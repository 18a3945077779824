// Process, file and message-box operations on Windows.
#include <windows.h>

#include <vector>

#include "platform/argument_text.h"
#include "platform/win32_platform.h"

namespace ruskel {

// The emulator gets a STARTUPINFO of 68 bytes, the size of the 32-bit record;
// a 64-bit build passes its own, larger record.
#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68, "the 32-bit STARTUPINFO record is 68 bytes");
#endif

std::string SystemErrorText(unsigned long errorCode) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = length > 0 && buffer != nullptr ? std::string(buffer, length) : std::string();
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.empty()) text = "system error " + std::to_string(errorCode);
  return text;
}

std::string Win32Platform::ArgumentText() {
  return CutProgramName(GetCommandLineA());
}

std::string Win32Platform::ProgramDirectory() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      std::string full(path.data(), length);
      std::size_t slash = full.find_last_of('\\');
      return slash == std::string::npos ? std::string() : full.substr(0, slash);
    }
    path.resize(path.size() * 2);  // truncated: long path
  }
}

FileReadResult Win32Platform::ReadWholeFile(const std::string& path) {
  FileReadResult result;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    result.error = SystemErrorText(GetLastError());
    return result;
  }
  char chunk[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
      result.error = SystemErrorText(GetLastError());
      CloseHandle(file);
      return result;
    }
    if (got == 0) break;
    result.bytes.append(chunk, got);
  }
  CloseHandle(file);
  result.ok = true;
  return result;
}

ProcessStartResult Win32Platform::StartProcess(const ProcessStart& start) {
  STARTUPINFOA startupInfo{};
  startupInfo.cb = sizeof(STARTUPINFOA);
  PROCESS_INFORMATION processInfo{};
  std::vector<char> commandLine(start.commandLine.begin(), start.commandLine.end());
  commandLine.push_back('\0');  // CreateProcessA may write into it

  // Lets the emulator bring its own window to the front as well.
  AllowSetForegroundWindow(ASFW_ANY);

  ProcessStartResult result;
  // The handles stay open for the wrapper's lifetime; nothing waits on them.
  result.started =
      CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr,
                     start.inheritHandles ? TRUE : FALSE, start.creationFlags, nullptr,
                     start.workingDirectory.c_str(), &startupInfo, &processInfo) != FALSE;
  if (!result.started) result.error = SystemErrorText(GetLastError());
  return result;
}

void Win32Platform::ShowMessage(const std::string& text, MessageKind kind) {
  // Topmost and foreground: on a cabinet the box must show over a full-screen front end.
  UINT style = MB_OK | MB_TOPMOST | MB_SETFOREGROUND;
  style |= kind == MessageKind::Error ? MB_ICONERROR : 0;
  MessageBoxA(nullptr, text.c_str(), "ruskel", style);
}

void Win32Platform::EndProcess(int exitCode) {
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace ruskel
