// The system's version and bitness, this process's integrity level, files
// and the Escape key for ruskel-check.
#include "tools/check/probes/win32_system_probe.h"

#include <vector>

namespace ruskel {

std::string OwnProgramPath() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);  // cut short: a long path
  }
}

Win32SystemProbe::~Win32SystemProbe() {
  if (xinputModule_ != nullptr) FreeLibrary(xinputModule_);
}

WindowsAnswer Win32SystemProbe::Windows() {
  WindowsAnswer answer;
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  // GetVersionEx answers what the program's manifest lets it see; ntdll tells
  // the version the system really has.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (auto getVersion = SystemFunction<RtlGetVersionFn>(ntdll, "RtlGetVersion");
      getVersion != nullptr && getVersion(&version) == 0) {
    answer.major = version.dwMajorVersion;
    answer.minor = version.dwMinorVersion;
    answer.build = version.dwBuildNumber;
    for (const WCHAR* c = version.szCSDVersion; *c != 0; ++c) {
      answer.servicePack += static_cast<char>(*c < 0x80 ? *c : '?');
    }
  }
  answer.buildBits = sizeof(void*) * 8;
  BOOL wow64 = FALSE;
  // A 32-bit program on 64-bit Windows runs under WOW64; a 64-bit program
  // only runs on 64-bit Windows.
  if (IsWow64Process(GetCurrentProcess(), &wow64)) answer.underWow64 = wow64 != FALSE;
  answer.windows64 = answer.buildBits == 64 || answer.underWow64;
  // Only Wine's ntdll has this: answers under Wine are Wine's, not Windows'.
  using WineVersionFn = const char*(CDECL*)();
  if (auto wineVersion = SystemFunction<WineVersionFn>(ntdll, "wine_get_version")) {
    const char* text = wineVersion();
    answer.wineVersion = text != nullptr && *text != '\0' ? text : "unknown";
  }
  return answer;
}

std::optional<std::uint32_t> Win32SystemProbe::IntegrityLevel() {
  HANDLE token = nullptr;
  // Keys and messages reach only windows at this level or below.
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  std::optional<std::uint32_t> level;
  if (size >= sizeof(TOKEN_MANDATORY_LABEL) &&
      GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
    PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    // The level is the label's last sub-authority.
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count > 0) level = *GetSidSubAuthority(sid, count - 1);
  }
  CloseHandle(token);
  return level;
}

bool Win32SystemProbe::FileExists(const std::string& path) {
  // As ruskel looks for the emulator's program.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32SystemProbe::EscapeDown() {
  // The key's state on the whole desktop: a console read would miss an Esc
  // typed while another window has the focus.
  return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

void Win32SystemProbe::Wait(std::uint32_t ms) {
  Sleep(ms);
}

}  // namespace ruskel
