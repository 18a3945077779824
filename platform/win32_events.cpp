// The hidden host window, the event queue and the message loop: one thread
// that sleeps until a message arrives or a watched process ends.
#include <windows.h>

#include <algorithm>

#include "platform/win32_platform.h"

namespace ruskel {
namespace {

constexpr const char* kHostWindowClass = "RuskelEventHost";
// Wakes the loop to hand over events queued outside of it.
constexpr UINT kDeliverMessage = WM_APP + 1;
// More key events than this unhandled means the handler is stuck in a box;
// the oldest are of no use any more.
constexpr std::size_t kMaxQueuedEvents = 256;

Win32Platform* g_platform = nullptr;

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Platform* platform = g_platform;
  if (platform != nullptr) {
    switch (message) {
      case WM_TIMER: {
        PlatformEvent event;
        event.kind = EventKind::Timer;
        event.timerId = static_cast<int>(wParam);
        platform->QueueEvent(event);
        platform->DeliverQueuedEvents();
        return 0;
      }
      case WM_INPUT:
        platform->OnRawInput(static_cast<std::intptr_t>(lParam));
        platform->DeliverQueuedEvents();
        break;  // DefWindowProc frees the input
      case kDeliverMessage:
        platform->DeliverQueuedEvents();
        return 0;
      case WM_CLOSE:
        // Not destroyed: the timers and the raw input live on this window,
        // and the close itself needs them.
        platform->OnCloseRequest();
        return 0;
      case WM_QUERYENDSESSION:
        return TRUE;  // never holds up a shutdown
      case WM_ENDSESSION:
        // The session may end ruskel at any moment once this returns
        // ("WM_ENDSESSION message", learn.microsoft.com/windows/win32/
        // shutdown/wm-endsession): the emulator must not die with it.
        if (wParam != FALSE) platform->OnSessionEnding();
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The lowest of the "application reserved last" range (0x100-0x1FF).
constexpr DWORD kShutdownLevelLast = 0x100;

bool SameTimer(const PlatformEvent& event, int timerId) {
  return event.kind == EventKind::Timer && event.timerId == timerId;
}

}  // namespace

Win32Platform* CurrentWin32Platform() {
  return g_platform;
}

Win32Platform::Win32Platform() {
  g_platform = this;
}

Win32Platform::~Win32Platform() {
  WatchKeys(false);
  WatchWindows(false);
  ShowCurtain(false);
  if (hostWindow_ != nullptr) DestroyWindow(static_cast<HWND>(hostWindow_));
  for (auto& entry : processHandles_) CloseHandle(static_cast<HANDLE>(entry.second));
  // Closing the job would end processes started to die with ruskel; the
  // destructor only runs in tests, where that is what is wanted.
  if (job_ != nullptr) CloseHandle(static_cast<HANDLE>(job_));
  if (g_platform == this) g_platform = nullptr;
}

std::string Win32Platform::CreateTimerWindow() {
  if (hostWindow_ != nullptr) return {};
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kHostWindowClass;
  // A class already registered (a second platform in one process) is as good.
  if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return SystemErrorText(GetLastError());
  }
  // A top-level window rather than a message-only one: raw input with
  // RIDEV_INPUTSINK is documented for windows that can be targets of input.
  // It is never shown, and as a tool window it is never in the taskbar or
  // Alt+Tab.
  // Shut down after the programs of the session at their default level
  // (0x280), the emulator among them: it is asked to save and quit by
  // Windows itself before ruskel is ("SetProcessShutdownParameters
  // function", learn.microsoft.com/windows/win32/api/processthreadsapi/
  // nf-processthreadsapi-setprocessshutdownparameters). Best effort.
  SetProcessShutdownParameters(kShutdownLevelLast, 0);
  hostWindow_ =
      CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kHostWindowClass, "ruskel event window",
                      WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  return hostWindow_ != nullptr ? std::string() : SystemErrorText(GetLastError());
}

void Win32Platform::SetEventHandler(std::function<void(const PlatformEvent&)> handler) {
  handler_ = std::move(handler);
}

std::string Win32Platform::StartTimer(int timerId, std::uint32_t intervalMs) {
  // Without the host window SetTimer would make a thread timer with another
  // id, whose ticks never reach the run.
  if (hostWindow_ == nullptr) return "ruskel's hidden window does not exist";
  if (SetTimer(static_cast<HWND>(hostWindow_), static_cast<UINT_PTR>(timerId), intervalMs,
               nullptr) != 0) {
    return {};
  }
  return SystemErrorText(GetLastError());
}

void Win32Platform::StopTimer(int timerId) {
  KillTimer(static_cast<HWND>(hostWindow_), static_cast<UINT_PTR>(timerId));
  // A tick queued while the handler was busy must not arrive after the stop.
  DropQueued(SameTimer, timerId);
}

std::uint64_t Win32Platform::NowMs() {
  return GetTickCount64();
}

std::string Win32Platform::LocalDateTime() {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  char text[32];
  wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
            time.wMinute, time.wSecond);
  return text;
}

void Win32Platform::Pause(std::uint32_t ms) {
  Sleep(ms);
}

void Win32Platform::OnCloseRequest() {
  PlatformEvent event;
  event.kind = EventKind::CloseRequested;
  QueueEvent(event);
  DeliverQueuedEvents();
}

void Win32Platform::QueueEvent(const PlatformEvent& event) {
  // A tick or a window change already waiting says all a second one would.
  if (event.kind == EventKind::Timer || event.kind == EventKind::WindowsChanged) {
    for (const PlatformEvent& queued : queue_) {
      if (queued.kind == event.kind && queued.timerId == event.timerId) return;
    }
  }
  // Only keys can pile up without bound; every other kind is kept.
  const bool isKey = event.kind == EventKind::KeyDown || event.kind == EventKind::KeyUp;
  if (isKey && queue_.size() >= kMaxQueuedEvents) {
    auto oldest = std::find_if(queue_.begin(), queue_.end(), [](const PlatformEvent& queued) {
      return queued.kind == EventKind::KeyDown || queued.kind == EventKind::KeyUp;
    });
    if (oldest == queue_.end()) return;
    queue_.erase(oldest);
  }
  queue_.push_back(event);
}

void Win32Platform::DeliverQueuedEvents() {
  // A handler showing a message box pumps messages, and so comes back here:
  // events then wait in the queue until the handler has returned.
  if (delivering_ || !handler_) return;
  while (!queue_.empty()) {
    PlatformEvent event = queue_.front();
    queue_.pop_front();
    delivering_ = true;
    handler_(event);
    delivering_ = false;
  }
}

void Win32Platform::DropQueued(bool (*matches)(const PlatformEvent&, int), int value) {
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                              [&](const PlatformEvent& event) { return matches(event, value); }),
               queue_.end());
}

void* Win32Platform::OpenWatchHandle(ProcessId process) {
  HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  // Systems before Vista know only the full query right.
  if (handle == nullptr) {
    handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process);
  }
  return handle;
}

void* Win32Platform::ProcessHandle(ProcessId process) {
  auto known = processHandles_.find(process);
  if (known != processHandles_.end()) return known->second;
  void* handle = OpenWatchHandle(process);
  if (handle != nullptr) processHandles_[process] = handle;
  return handle;
}

bool Win32Platform::WatchProcess(ProcessId process) {
  if (process == 0) return false;
  if (std::find(watched_.begin(), watched_.end(), process) != watched_.end()) return true;
  void* handle = ProcessHandle(process);
  if (handle == nullptr) {
    if (GetLastError() != ERROR_INVALID_PARAMETER) return false;
    // No such process: it has ended already, and its pid is free.
    PlatformEvent event;
    event.kind = EventKind::ProcessEnded;
    event.processId = process;
    QueueEvent(event);
    PostMessageA(static_cast<HWND>(hostWindow_), kDeliverMessage, 0, 0);
    return true;
  }
  // One wait slot is the message queue's.
  if (watched_.size() >= MAXIMUM_WAIT_OBJECTS - 1) return false;
  watched_.push_back(process);
  // The loop may be asleep without this process in its wait: wake it.
  PostMessageA(static_cast<HWND>(hostWindow_), kDeliverMessage, 0, 0);
  return true;
}

void Win32Platform::RunMessageLoop() {
  std::vector<HANDLE> handles;
  for (;;) {
    handles.clear();
    for (ProcessId process : watched_)
      handles.push_back(static_cast<HANDLE>(processHandles_[process]));
    const DWORD count = static_cast<DWORD>(handles.size());
    const DWORD woken = MsgWaitForMultipleObjectsEx(count, handles.data(), INFINITE, QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
    if (woken < WAIT_OBJECT_0 + count) {
      const ProcessId ended = watched_[woken - WAIT_OBJECT_0];
      watched_.erase(watched_.begin() + (woken - WAIT_OBJECT_0));
      PlatformEvent event;
      event.kind = EventKind::ProcessEnded;
      event.processId = ended;
      QueueEvent(event);
    } else if (woken == WAIT_FAILED) {
      // Only a handle gone bad can make the wait fail: open the process
      // again, or report it ended when it can't be found, rather than spin.
      bool replaced = false;
      for (std::size_t i = watched_.size(); i-- > 0;) {
        if (WaitForSingleObject(handles[i], 0) != WAIT_FAILED) continue;
        const ProcessId process = watched_[i];
        processHandles_.erase(process);
        replaced = true;
        if (ProcessHandle(process) == nullptr) {
          watched_.erase(watched_.begin() + static_cast<std::ptrdiff_t>(i));
          PlatformEvent event;
          event.kind = EventKind::ProcessEnded;
          event.processId = process;
          QueueEvent(event);
        }
      }
      if (!replaced) Sleep(10);
    }

    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      // The run ends only through the driver, which knows what to close
      // first; a stray WM_QUIT to this thread is not a reason to stop.
      if (message.message == WM_QUIT) continue;
      DispatchMessageA(&message);
    }
    if (windowsChanged_) {
      windowsChanged_ = false;
      PlatformEvent event;
      event.kind = EventKind::WindowsChanged;
      QueueEvent(event);
    }
    DeliverQueuedEvents();
  }
}

}  // namespace ruskel
