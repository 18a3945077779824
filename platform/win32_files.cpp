// Reading and writing files on Windows.
#include <windows.h>

#include <algorithm>

#include "platform/win32_platform.h"

namespace ruskel {
namespace {

// Writes all of bytes; false on the first failure.
bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

// Others may read and write the file meanwhile (a log being looked at), and
// a file locked by someone else fails at once instead of waiting.
bool WriteFileWith(const std::string& path, DWORD access, DWORD disposition,
                   const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteAll(file, bytes);
  return CloseHandle(file) != FALSE && ok;
}

}  // namespace

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

bool Win32Platform::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Platform::AppendToFile(const std::string& path, const std::string& bytes) {
  // FILE_APPEND_DATA alone: every write lands at the end, even with two writers.
  return WriteFileWith(path, FILE_APPEND_DATA, OPEN_ALWAYS, bytes);
}

bool Win32Platform::WriteWholeFile(const std::string& path, const std::string& bytes) {
  return WriteFileWith(path, GENERIC_WRITE, CREATE_ALWAYS, bytes);
}

}  // namespace ruskel
