// A program that must never run: placed where a careless command line would start it, it
// leaves the file DECOY-RAN beside itself (holding its command line) and ends.
#include <windows.h>

#include <string>

int main() {
  char path[MAX_PATH * 4];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string marker(path, length);
  size_t slash = marker.find_last_of("\\/");
  marker = (slash == std::string::npos ? std::string(".") : marker.substr(0, slash)) +
           "\\DECOY-RAN";
  HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  std::string text = std::string(GetCommandLineA()) + "\r\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
