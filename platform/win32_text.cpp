// Text operations that follow the system's ANSI code page.
#include <windows.h>

#include "platform/win32_platform.h"

namespace ruskel {

std::string Win32Platform::UpperAnsi(const std::string& text) {
  std::string upper = text;
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

}  // namespace ruskel
