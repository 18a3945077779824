// Other programs' windows on Windows: lookups, messages, and news of windows
// being created, shown or renamed.
#include <windows.h>

#include <functional>

#include "platform/win32_handles.h"
#include "platform/win32_platform.h"

namespace ruskel {
namespace {

// Wine delivers only the first; Windows all three.
constexpr DWORD kWatchedWindowEvents[] = {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW,
                                          EVENT_OBJECT_NAMECHANGE};

void CALLBACK WindowEventProc(HWINEVENTHOOK, DWORD, HWND window, LONG objectId, LONG childId, DWORD,
                              DWORD) {
  if (objectId != OBJID_WINDOW || childId != CHILDID_SELF || window == nullptr) return;
  if (Win32Platform* platform = CurrentWin32Platform()) platform->OnWindowEvent(window);
}

using WindowVisitor = std::function<void(HWND)>;

// A named CALLBACK: a lambda has the wrong calling convention in 32-bit builds.
BOOL CALLBACK VisitTopWindow(HWND window, LPARAM param) {
  (*reinterpret_cast<const WindowVisitor*>(param))(window);
  return TRUE;
}

void ForEachTopWindow(const WindowVisitor& visit) {
  EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&visit));
}

ProcessId ProcessOf(HWND window) {
  DWORD process = 0;
  return GetWindowThreadProcessId(window, &process) != 0 ? process : 0;
}

}  // namespace

std::vector<WindowHandle> Win32Platform::TopWindows() {
  std::vector<WindowHandle> found;
  // Handles alone: the window wait lists every window twice a second, and
  // each title, owner or class read of another program's window is a call
  // to the window server under Wine, so the matcher reads only what it needs.
  ForEachTopWindow([&](HWND window) { found.push_back(FromHwnd(window)); });
  return found;
}

std::vector<WindowHandle> Win32Platform::TopWindowsOf(ProcessId process) {
  std::vector<WindowHandle> found;
  if (process == 0) return found;
  ForEachTopWindow([&](HWND window) {
    if (ProcessOf(window) == process) found.push_back(FromHwnd(window));
  });
  return found;
}

ProcessId Win32Platform::WindowProcess(WindowHandle window) {
  if (window == 0) return 0;
  return ProcessOf(ToHwnd(window));
}

WindowHandle Win32Platform::ForegroundWindow() {
  return FromHwnd(GetForegroundWindow());
}

std::string Win32Platform::WindowTitle(WindowHandle window) {
  const HWND hwnd = ToHwnd(window);
  // One read for the titles of nearly every window; a longer one is read
  // again whole, since a title cut short would not match. Not
  // GetWindowTextLength first: that would be a second server call for each
  // window of another program.
  std::string text(512, '\0');
  int length = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
  if (length >= static_cast<int>(text.size()) - 1) {
    text.assign(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 2, '\0');
    length = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
  }
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return text;
}

std::string Win32Platform::WindowClass(WindowHandle window) {
  // Class names are at most 256 characters. Asked for only with
  // windowclass=, and only of windows that passed the other tests: it is
  // one more server call per window under Wine.
  char name[257];
  const int length = GetClassNameA(ToHwnd(window), name, static_cast<int>(sizeof name));
  return std::string(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

WindowHandle Win32Platform::OwnerWindow(WindowHandle window) {
  return FromHwnd(GetWindow(ToHwnd(window), GW_OWNER));
}

namespace {

// The foreground lock refuses SetForegroundWindow to a program that has not
// had input lately. Each rung asks harder; none sends a synthetic Alt, which
// would be left held in whatever window gets it. How often the stronger rungs
// run is the ladder's to say (platform/front_ladder.h).
//
// Nothing here waits on the target's thread: with an emulator that has
// stopped answering, ShowWindow, BringWindowToTop and a plain SetWindowPos
// from another thread would wait for good, and ruskel's one thread with them.
// ShowWindowAsync posts the show event to the window's queue
// (https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-showwindowasync);
// SWP_ASYNCWINDOWPOS posts the request to the thread that owns the window
// (https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-setwindowpos).
bool ClimbForegroundLadder(HWND target, FrontLadder& ladder) {
  if (IsIconic(target)) ShowWindowAsync(target, SW_RESTORE);
  SetForegroundWindow(target);
  if (GetForegroundWindow() == target) return true;
  const bool topmost = (GetWindowLongPtrA(target, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  const FrontPlan plan = ladder.Refused(FromHwnd(target), topmost, GetTickCount64());
  constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS;
  if (plan.shareInput) {
    // Sharing the input state with the window in front lets ours take it.
    const HWND front = GetForegroundWindow();
    const DWORD frontThread = front != nullptr ? GetWindowThreadProcessId(front, nullptr) : 0;
    const DWORD ownThread = GetCurrentThreadId();
    const bool attached = frontThread != 0 && frontThread != ownThread &&
                          !IsHungAppWindow(front) &&
                          AttachThreadInput(ownThread, frontThread, TRUE) != FALSE;
    // BringWindowToTop, without waiting for the target's thread.
    SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, kKeep);
    SetForegroundWindow(target);
    if (attached) AttachThreadInput(ownThread, frontThread, FALSE);
    if (GetForegroundWindow() == target) return true;
  }
  if (plan.restack) {
    // Up into the topmost band (and back out, unless it lives there), which
    // restacks it above the window in front; then ask once more.
    SetWindowPos(target, HWND_TOPMOST, 0, 0, 0, 0, kKeep);
    if (plan.leaveTopmostBand) SetWindowPos(target, HWND_NOTOPMOST, 0, 0, 0, 0, kKeep);
    SetForegroundWindow(target);
  }
  return GetForegroundWindow() == target;
}

}  // namespace

void Win32Platform::AllowForeground(ProcessId process) {
  if (process != 0) AllowSetForegroundWindow(process);
}

ProcessId Win32Platform::ShellProcess() {
  // NULL when no shell runs
  // (https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getshellwindow).
  const HWND shell = GetShellWindow();
  return shell != nullptr ? ProcessOf(shell) : 0;
}

bool Win32Platform::IsHung(WindowHandle window) {
  // True once the window's thread has not looked for a message for 5 s, and
  // always for a ghost window
  // (https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-ishungappwindow).
  const HWND hwnd = ToHwnd(window);
  return hwnd != nullptr && IsHungAppWindow(hwnd) != FALSE;
}

bool Win32Platform::BringToFront(WindowHandle window) {
  const HWND target = ToHwnd(window);
  if (target == nullptr || !IsWindow(target)) return false;
  // A hung window cannot take the front, and the ladder's input sharing with
  // it would tie ruskel's input to a thread that never answers.
  if (IsHungAppWindow(target)) return false;
  const bool inFront =
      GetForegroundWindow() == target || ClimbForegroundLadder(target, frontLadder_);
  if (inFront) frontLadder_.Landed(FromHwnd(target));
  KeepCurtainOnTop();
  return inFront;
}

// Without a window manager (Wine on a bare X display) a window brought
// forward lands above every other, topmost or not: the curtain is put back.
// The emulator raises its own X window when its thread takes the activation,
// which may come after BringToFront: WaitUntilWindowResponds puts it back
// again once that thread has answered. Wine restacks its X window only when
// the z-order really changes, so it is moved out of the topmost band and back.
void Win32Platform::KeepCurtainOnTop() {
  if (curtain_ == nullptr) return;
  const HWND curtain = static_cast<HWND>(curtain_);
  constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(curtain, HWND_NOTOPMOST, 0, 0, 0, 0, kKeep);
  SetWindowPos(curtain, HWND_TOPMOST, 0, 0, 0, 0, kKeep);
}

bool Win32Platform::WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) {
  // WM_NULL does nothing; its answer means the messages before it are done.
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutA(ToHwnd(window), WM_NULL, 0, 0,
                                            SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs,
                                            &result) != 0;
  KeepCurtainOnTop();  // the other half of BringToFront's
  return answered;
}

bool Win32Platform::IsVisible(WindowHandle window) {
  return IsWindowVisible(ToHwnd(window)) != FALSE;
}

WindowSize Win32Platform::SizeOf(WindowHandle window) {
  RECT rect{};
  if (!GetWindowRect(ToHwnd(window), &rect)) return {};
  return {static_cast<std::int32_t>(rect.right - rect.left),
          static_cast<std::int32_t>(rect.bottom - rect.top)};
}

std::string Win32Platform::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                             std::uintptr_t wParam, std::intptr_t lParam) {
  if (PostMessageA(ToHwnd(window), message, static_cast<WPARAM>(wParam),
                   static_cast<LPARAM>(lParam))) {
    return {};
  }
  const DWORD error = GetLastError();
  return SystemErrorText(error) + " (error " + std::to_string(error) + ")";
}

void Win32Platform::WatchWindows(bool on) {
  if (on && windowHooks_.empty()) {
    for (DWORD event : kWatchedWindowEvents) {
      // Out of context: the events come as messages to this thread, which
      // the message loop already waits for; nothing is loaded into others.
      HWINEVENTHOOK hook = SetWinEventHook(event, event, nullptr, WindowEventProc, 0, 0,
                                           WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
      if (hook != nullptr) windowHooks_.push_back(hook);
    }
  } else if (!on) {
    for (void* hook : windowHooks_) UnhookWinEvent(static_cast<HWINEVENTHOOK>(hook));
    windowHooks_.clear();
    windowsChanged_ = false;
    DropQueued(
        [](const PlatformEvent& event, int) { return event.kind == EventKind::WindowsChanged; }, 0);
  }
}

void Win32Platform::OnWindowEvent(void* window) {
  if (windowHooks_.empty()) return;
  // Top-level windows only; a burst of them is one event at the end of the
  // message loop's turn.
  if (GetAncestor(static_cast<HWND>(window), GA_PARENT) != GetDesktopWindow()) return;
  windowsChanged_ = true;
}

}  // namespace ruskel
