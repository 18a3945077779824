// The keyboard hold on Windows: a low-level keyboard hook on a thread of its
// own, from the first key ruskel types to the last.
//
// Windows calls a WH_KEYBOARD_LL hook by a message to the thread that set it
// and waits for the answer no longer than LowLevelHooksTimeout
// (HKEY_CURRENT_USER\Control Panel\Desktop, in ms; at most 1000 ms from
// Windows 10 1709 on). A hook that takes longer is passed over, and on
// Windows 7 and later silently removed (Microsoft's LowLevelKeyboardProc
// page). ruskel's own thread may be busy for a moment (a walk typed back to
// back, a window that is slow to answer), so the hook lives on a thread that
// does nothing but wait for its calls, and each call only compares a few
// numbers: it answers within microseconds.
#include <windows.h>

#include "platform/win32_platform.h"

namespace ruskel {
namespace {

// The hook procedure has no context: the one hold of the process.
KeyHoldFilter* gHoldFilter = nullptr;

// How long the hold's end waits for its thread; it answers at once.
constexpr DWORD kHoldStopMs = 1000;

struct HoldStart {
  HANDLE ready = nullptr;
  DWORD error = 0;
};

LRESULT CALLBACK HoldProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && gHoldFilter != nullptr) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool keyUp = (key->flags & LLKHF_UP) != 0;
    // Non-zero: the event goes no further, to no hook and no window.
    if (gHoldFilter->HoldsBack(static_cast<std::int32_t>(key->vkCode), keyUp,
                               key->dwExtraInfo == kOwnKeyMark)) {
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI HoldThread(void* param) {
  auto* start = static_cast<HoldStart*>(param);
  MSG msg;
  // The thread's message queue, before anyone may post WM_QUIT to it.
  PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, HoldProc, GetModuleHandleA(nullptr), 0);
  start->error = hook != nullptr ? 0 : GetLastError();
  SetEvent(start->ready);  // start is gone once the caller wakes
  if (hook == nullptr) return 0;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
  }
  UnhookWindowsHookEx(hook);
  return 0;
}

}  // namespace

std::string Win32Platform::HoldBackKeys(bool on, std::int32_t passKey) {
  if (on) {
    if (holdThread_ != nullptr) return {};
    holdFilter_ = std::make_unique<KeyHoldFilter>(passKey);
    gHoldFilter = holdFilter_.get();
    HoldStart start;
    start.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (start.ready == nullptr) return SystemErrorText(GetLastError());
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 64 * 1024, HoldThread, &start,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, &id);
    if (thread == nullptr) {
      const DWORD error = GetLastError();
      CloseHandle(start.ready);
      return SystemErrorText(error);
    }
    // Keys come in bursts while the walk is typed: the hold answers before them.
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    WaitForSingleObject(start.ready, INFINITE);
    CloseHandle(start.ready);
    if (start.error != 0) {
      WaitForSingleObject(thread, kHoldStopMs);
      CloseHandle(thread);
      return SystemErrorText(start.error);
    }
    holdThread_ = thread;
    holdThreadId_ = id;
    return {};
  }
  if (holdThread_ == nullptr) return {};
  PostThreadMessageA(holdThreadId_, WM_QUIT, 0, 0);
  const bool ended = WaitForSingleObject(holdThread_, kHoldStopMs) == WAIT_OBJECT_0;
  CloseHandle(holdThread_);
  holdThread_ = nullptr;
  // A thread that did not end may still read the filter: it is kept.
  if (!ended) (void)holdFilter_.release();
  return {};
}

std::uint32_t Win32Platform::KeysHeldBack() {
  return holdFilter_ != nullptr ? holdFilter_->PressesHeldBack() : 0;
}

}  // namespace ruskel
