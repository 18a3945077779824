// Text as the system's ANSI code page sees it.
#include <windows.h>

#include "platform/win32_platform.h"

namespace ruskel {

std::string Win32Platform::UpperAnsi(const std::string& text) {
  std::string upper = text;
  // The system's own table, so accented letters match as Windows matches them.
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

}  // namespace ruskel
