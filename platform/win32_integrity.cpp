// The integrity level of a process: an emulator above ruskel's level gets no
// keys from it and ignores its messages.
#include <windows.h>

#include <vector>

#include "platform/win32_platform.h"

namespace ruskel {

std::uint32_t Win32Platform::IntegrityLevel(ProcessId process) {
  // A standard user's process may open an elevated one for limited
  // information but not its token: "access denied" there means the process
  // runs above ruskel ("OpenProcessToken function", learn.microsoft.com/
  // windows/win32/api/processthreadsapi/nf-processthreadsapi-openprocesstoken;
  // "Mandatory Integrity Control", learn.microsoft.com/windows/win32/secauthz/
  // mandatory-integrity-control).
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (handle == nullptr) return GetLastError() == ERROR_ACCESS_DENIED ? kIntegrityDenied : 0;
  HANDLE token = nullptr;
  std::uint32_t level = 0;
  if (!OpenProcessToken(handle, TOKEN_QUERY, &token)) {
    if (GetLastError() == ERROR_ACCESS_DENIED) level = kIntegrityDenied;
  } else {
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size > 0 && GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
      const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
      const PSID sid = label->Label.Sid;
      const UCHAR count = *GetSidSubAuthorityCount(sid);
      if (count > 0) level = *GetSidSubAuthority(sid, count - 1U);
    }
    CloseHandle(token);
  }
  CloseHandle(handle);
  return level;
}

}  // namespace ruskel
