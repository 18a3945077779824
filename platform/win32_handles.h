// Converting between HWND and the wrapper's 32-bit window handles.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/platform_ops.h"

namespace ruskel {

inline WindowHandle FromHwnd(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

// User handles are sign-extended 32-bit values in a 64-bit process.
inline HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

}  // namespace ruskel
