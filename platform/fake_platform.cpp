#include "platform/fake_platform.h"

#include <cstdio>

#include "platform/cp1252_upper.h"

namespace ruskel {
namespace {

std::string Hex(std::uint64_t value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(value));
  return buf;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

void FakePlatform::PressKey(std::int32_t virtualKey, std::uint64_t from, std::uint64_t to) {
  keyPresses_.push_back({virtualKey, 0, from, to});
}

void FakePlatform::HoldButtons(std::uint32_t buttons, std::uint64_t from, std::uint64_t to) {
  buttonHolds_.push_back({0, buttons, from, to});
}

void FakePlatform::At(std::uint64_t time, std::function<void()> action) {
  actions_.emplace(time, std::move(action));
}

bool FakePlatform::RunMain(const std::function<void()>& fn) {
  try {
    fn();
    return true;
  } catch (const ProcessEnded&) {
    return false;
  }
}

std::optional<int> FakePlatform::RunUntil(std::uint64_t limit) {
  while (!exitCode_) {
    std::uint64_t nextTimer = kNever;
    int nextId = 0;
    for (const auto& [id, timer] : timers_) {
      if (timer.running && timer.due < nextTimer) {
        nextTimer = timer.due;
        nextId = id;
      }
    }
    const std::uint64_t nextAction = actions_.empty() ? kNever : actions_.begin()->first;
    const std::uint64_t next = std::min(nextTimer, nextAction);
    if (next == kNever || next > limit) break;
    if (next > now_) now_ = next;
    try {
      if (nextAction <= nextTimer) {
        auto action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        action();
      } else {
        Timer& timer = timers_[nextId];
        // Ticks that fell due meanwhile are not queued up one by one.
        timer.due = now_ + timer.intervalMs;
        if (tickHandler_) tickHandler_(nextId);
      }
    } catch (const ProcessEnded&) {
      break;
    }
  }
  if (!exitCode_ && limit != kNever && now_ < limit) now_ = limit;
  return exitCode_;
}

bool FakePlatform::TimerRunning(int timerId) const {
  auto it = timers_.find(timerId);
  return it != timers_.end() && it->second.running;
}

std::vector<std::string> FakePlatform::Trace() const {
  std::vector<std::string> out;
  for (const Event& event : events_) out.push_back(event.what);
  return out;
}

std::vector<std::string> FakePlatform::TraceOf(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const Event& event : events_) {
    if (event.what.rfind(prefix, 0) == 0) out.push_back(event.what);
  }
  return out;
}

const FakePlatform::Window* FakePlatform::FindWindowByHandle(WindowHandle handle) const {
  for (const Window& window : windows_) {
    if (window.handle == handle) return &window;
  }
  return nullptr;
}

void FakePlatform::Record(std::string what) {
  events_.push_back({now_, std::move(what)});
}

void FakePlatform::Poll(std::string what) {
  if (tracePolls) Record(std::move(what));
}

bool FakePlatform::WindowExists(const Window& window) const {
  return window.appearsAt <= now_ && now_ < window.closedAt;
}

void FakePlatform::ApplyPendingForeground() {
  if (pendingForeground_ && pendingForeground_->second <= now_) {
    foreground = pendingForeground_->first;
    pendingForeground_.reset();
  }
}

std::string FakePlatform::ArgumentText() {
  return argumentText;
}

std::string FakePlatform::ProgramDirectory() {
  return programDir;
}

FileReadResult FakePlatform::ReadWholeFile(const std::string& path) {
  Record("ReadFile " + path);
  FileReadResult result;
  auto it = files.find(path);
  if (it == files.end()) {
    result.error = "The system cannot find the file specified.";
  } else {
    result.ok = true;
    result.bytes = it->second;
  }
  return result;
}

ProcessStartResult FakePlatform::StartProcess(const ProcessStart& start) {
  Record("StartProcess cmd=" + start.commandLine + " dir=" + start.workingDirectory +
         " inherit=" + (start.inheritHandles ? "1" : "0") + " flags=" + Hex(start.creationFlags));
  ProcessStartResult result;
  result.started = processStarts;
  if (!processStarts) result.error = processError;
  return result;
}

void FakePlatform::ShowMessage(const std::string& text, MessageKind kind) {
  Record(std::string(kind == MessageKind::Error ? "ErrorBox: " : "MessageBox: ") + text);
  if (whileMessageBoxShown) whileMessageBoxShown();
}

void FakePlatform::EndProcess(int exitCode) {
  Record("EndProcess " + std::to_string(exitCode));
  exitCode_ = exitCode;
  throw ProcessEnded{exitCode};
}

std::string FakePlatform::UpperAnsi(const std::string& text) {
  return UpperCp1252(text);
}

void FakePlatform::CreateTimerWindow() {
  timerWindowCreated_ = true;
  Record("CreateTimerWindow");
}

void FakePlatform::SetTickHandler(std::function<void(int)> handler) {
  tickHandler_ = std::move(handler);
}

void FakePlatform::StartTimer(int timerId, std::uint32_t intervalMs) {
  Record("StartTimer " + std::to_string(timerId) + " " + std::to_string(intervalMs) + "ms");
  if (!timerWindowCreated_) Record("ERROR timer started before the timer window exists");
  Timer& timer = timers_[timerId];
  timer.intervalMs = intervalMs;
  timer.due = now_ + intervalMs;
  timer.running = true;
}

void FakePlatform::StopTimer(int timerId) {
  Record("StopTimer " + std::to_string(timerId));
  timers_[timerId].running = false;
}

std::uint64_t FakePlatform::NowMs() {
  return now_;
}

WindowHandle FakePlatform::FindTopWindow(const std::string& title) {
  WindowHandle found = 0;
  for (const Window& window : windows_) {
    if (WindowExists(window) && Upper(window.title) == Upper(title)) {
      found = window.handle;
      break;
    }
  }
  Poll("FindWindow " + title + " -> " + Hex(found));
  return found;
}

WindowHandle FakePlatform::ForegroundWindow() {
  ApplyPendingForeground();
  Poll("ForegroundWindow -> " + Hex(foreground));
  return foreground;
}

void FakePlatform::BringToFront(WindowHandle window) {
  Record("BringToFront " + Hex(window));
  if (foregroundRefused || window == 0) return;
  const Window* target = FindWindowByHandle(window);
  if (target == nullptr || !WindowExists(*target)) return;
  // Asking again while an activation is under way does not restart it.
  if (!pendingForeground_ || pendingForeground_->first != window) {
    pendingForeground_ = {window, now_ + foregroundDelayMs};
  }
  ApplyPendingForeground();
}

bool FakePlatform::IsVisible(WindowHandle window) {
  const Window* target = FindWindowByHandle(window);
  bool visible = target != nullptr && WindowExists(*target) && target->visibleAt <= now_;
  Poll("IsVisible " + Hex(window) + " -> " + (visible ? "1" : "0"));
  return visible;
}

void FakePlatform::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
  Record("PostMessage " + Hex(window) + " " + Hex(message) + " " + std::to_string(wParam) + " " +
         std::to_string(lParam));
  // A single-window emulator's message loop ends on WM_QUIT: its window goes.
  if (message == kWmQuit) {
    for (Window& w : windows_) {
      if (w.handle == window && WindowExists(w)) w.closedAt = now_;
    }
  }
}

void FakePlatform::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                                std::uintptr_t extraInfo) {
  std::string what = "Key " + std::to_string(virtualKey);
  if (flags == 0) {
    what += " down";
  } else if (flags == kKeyEventKeyUp) {
    what += " up";
  } else {
    what += " flags=" + Hex(flags);
  }
  if (scanCode != 0 || extraInfo != 0) {
    what += " scan=" + std::to_string(scanCode) + " extra=" + std::to_string(extraInfo);
  }
  Record(what);
}

std::uint16_t FakePlatform::KeyState(std::int32_t virtualKey) {
  std::uint16_t state = 0;
  for (const Press& press : keyPresses_) {
    if (press.key == virtualKey && press.from <= now_ && now_ < press.to) state = 0xFF80;
  }
  Poll("KeyState " + std::to_string(virtualKey) + " -> " + Hex(state));
  return state;
}

bool FakePlatform::ReadJoystick(std::uint32_t joystickId, JoyInfo& info) {
  Poll("Joystick " + std::to_string(joystickId));
  if (!joystickPresent || joystickId != 0) return false;
  info = JoyInfo{};
  for (const Press& hold : buttonHolds_) {
    if (hold.from <= now_ && now_ < hold.to) info.buttons = hold.buttons;
  }
  return true;
}

}  // namespace ruskel
