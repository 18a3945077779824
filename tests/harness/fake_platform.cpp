#include "fake_platform.h"

#include <algorithm>
#include <cstdio>

namespace ruskel {
namespace {

// Set-1 scan codes of a US keyboard, as MapVirtualKey gives them.
std::uint8_t UsScanCode(std::uint8_t vk) {
  static const std::map<std::uint8_t, std::uint8_t> kCodes = {
      {0x08, 0x0E}, {0x09, 0x0F}, {0x0D, 0x1C}, {0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38},
      {0x13, 0x45}, {0x1B, 0x01}, {0x20, 0x39}, {0x21, 0x49}, {0x22, 0x51}, {0x23, 0x4F},
      {0x24, 0x47}, {0x2C, 0x37}, {0x90, 0x45}, {0x25, 0x4B}, {0x26, 0x48}, {0x27, 0x4D},
      {0x28, 0x50}, {0x2D, 0x52}, {0x2E, 0x53}, {0x30, 0x0B}, {0x31, 0x02}, {0x32, 0x03},
      {0x33, 0x04}, {0x34, 0x05}, {0x35, 0x06}, {0x36, 0x07}, {0x37, 0x08}, {0x38, 0x09},
      {0x39, 0x0A}, {0x41, 0x1E}, {0x42, 0x30}, {0x43, 0x2E}, {0x44, 0x20}, {0x45, 0x12},
      {0x46, 0x21}, {0x47, 0x22}, {0x48, 0x23}, {0x49, 0x17}, {0x4A, 0x24}, {0x4B, 0x25},
      {0x4C, 0x26}, {0x4D, 0x32}, {0x4E, 0x31}, {0x4F, 0x18}, {0x50, 0x19}, {0x51, 0x10},
      {0x52, 0x13}, {0x53, 0x1F}, {0x54, 0x14}, {0x55, 0x16}, {0x56, 0x2F}, {0x57, 0x11},
      {0x58, 0x2D}, {0x59, 0x15}, {0x5A, 0x2C}, {0x5B, 0x5B}, {0x5C, 0x5C}, {0x5D, 0x5D},
      {0x6F, 0x35}, {0x70, 0x3B}, {0x71, 0x3C}, {0x72, 0x3D}, {0x73, 0x3E}, {0x74, 0x3F},
      {0x75, 0x40}, {0x76, 0x41}, {0x77, 0x42}, {0x78, 0x43}, {0x79, 0x44}, {0x7A, 0x57},
      {0x7B, 0x58}, {0xA3, 0x1D}, {0xA5, 0x38},
  };
  auto it = kCodes.find(vk);
  return it == kCodes.end() ? 0 : it->second;
}

}  // namespace

FakePlatform::FakePlatform() {
  programDir = "C:\\Games\\ruskel";
  localDateTime = "2024-05-31 18:04:05";
  foreground = kFrontEndWindow;
  pointer = ScreenPoint{400, 300};
  primaryMonitor = {0, 0, 1920, 1080};
  processes_[kFrontEndProcess].script = Process{kFrontEndProcess, 0};
  processes_[kRuskelProcess].script = Process{kRuskelProcess, kFrontEndProcess};
  windows_.push_back({kFrontEndWindow, kFrontEndProcess, "Front End"});
}

void FakePlatform::AddWindow(const Window& window) {
  windows_.push_back(window);
  for (std::uint64_t at : {window.appearsAt, window.visibleAt}) {
    At(at, [this] {
      if (WatchingWindows()) Deliver({EventKind::WindowsChanged});
    });
  }
}

void FakePlatform::AddProcess(const Process& process) {
  processes_[process.id].script = process;
  if (process.endsAt != kNever)
    At(process.endsAt, [this, id = process.id] { EndSimulatedProcess(id); });
}

void FakePlatform::PressKey(std::int32_t virtualKey, std::uint64_t from, std::uint64_t to) {
  keyPresses_.push_back({static_cast<std::uint32_t>(virtualKey), 0, from, to});
  At(from, [this, virtualKey] {
    if (WatchingKeys() && keyEventsDelivered) Deliver({EventKind::KeyDown, 0, virtualKey});
  });
  At(to, [this, virtualKey] {
    if (WatchingKeys() && keyEventsDelivered) Deliver({EventKind::KeyUp, 0, virtualKey});
  });
}

void FakePlatform::HoldButtons(std::uint32_t buttons, std::uint64_t from, std::uint64_t to) {
  joystickHolds_.push_back({0, buttons, from, to});
}

void FakePlatform::HoldJoystick(std::uint32_t id, std::uint32_t buttons, std::uint64_t from,
                                std::uint64_t to) {
  if (!joysticksFrom_.count(id)) joysticksFrom_[id] = from;
  joystickHolds_.push_back({id, buttons, from, to});
}

void FakePlatform::ConnectXInput(std::uint32_t userIndex, std::uint64_t from) {
  xinputFrom_[userIndex] = from;
}

void FakePlatform::HoldXInput(std::uint32_t userIndex, std::uint16_t buttons, std::uint64_t from,
                              std::uint64_t to) {
  if (!xinputFrom_.count(userIndex)) xinputFrom_[userIndex] = from;
  xinputHolds_.push_back({userIndex, buttons, from, to});
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
  while (!exitCode()) {
    std::uint64_t nextTimer = kNever;
    int nextId = 0;
    for (int id : RunningTimers()) {
      if (timerDue_[id] < nextTimer) {
        nextTimer = timerDue_[id];
        nextId = id;
      }
    }
    const std::uint64_t nextAction = actions_.empty() ? kNever : actions_.begin()->first;
    const std::uint64_t next = std::min(nextTimer, nextAction);
    if (next == kNever || next > limit) break;
    if (next > now()) AdvanceTo(next);
    try {
      if (nextAction <= nextTimer) {
        auto action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        action();
      } else {
        // Ticks that fell due meanwhile are not queued up one by one.
        timerDue_[nextId] = now() + TimerInterval(nextId);
        ++timerTicks_;
        Deliver({EventKind::Timer, nextId});
      }
    } catch (const ProcessEnded&) {
      break;
    }
  }
  if (!exitCode() && limit != kNever && now() < limit) AdvanceTo(limit);
  return exitCode();
}

const FakePlatform::Window* FakePlatform::FindWindowByHandle(WindowHandle handle) const {
  for (const Window& window : windows_) {
    if (window.handle == handle) return &window;
  }
  return nullptr;
}

bool FakePlatform::ProcessHasEnded(ProcessId process) const {
  auto it = processes_.find(process);
  return it != processes_.end() && it->second.ended;
}

void FakePlatform::Poll(std::string what) {
  if (tracePolls) Record(std::move(what));
}

bool FakePlatform::WindowExists(const Window& window) const {
  return window.appearsAt <= now() && now() < window.closedAt;
}

void FakePlatform::ApplyPendingForeground() {
  if (pendingForeground_ && pendingForeground_->second <= now()) {
    foreground = pendingForeground_->first;
    pendingForeground_.reset();
  }
}

void FakePlatform::EndSimulatedProcess(ProcessId process) {
  ProcessState& state = processes_[process];
  if (state.ended) return;
  state.ended = true;
  Record("ProcessEnded " + std::to_string(process));
  for (Window& window : windows_) {
    if (window.owner == process && now() < window.closedAt) window.closedAt = now();
  }
  if (foreground != 0) {
    const Window* front = FindWindowByHandle(foreground);
    if (front != nullptr && !WindowExists(*front)) foreground = kFrontEndWindow;
  }
  if (state.watched) Deliver({EventKind::ProcessEnded, 0, 0, process});
}

void FakePlatform::Quit(ProcessId process, bool closeMessage) {
  auto it = processes_.find(process);
  if (it == processes_.end() || it->second.ended) return;
  const Process& script = it->second.script;
  if (closeMessage ? script.ignoresClose : script.ignoresQuit) return;
  At(now() + script.quitTakesMs, [this, process] { EndSimulatedProcess(process); });
}

ProcessStartResult FakePlatform::StartProcess(const ProcessStart& start) {
  ProcessStartResult result = NullPlatform::StartProcess(start);
  if (!result.started) return result;
  Process process = startedProcess;
  process.id = result.processId;
  process.parent = kRuskelProcess;
  if (process.endsAt != kNever && process.endsAt < now()) process.endsAt = now();
  AddProcess(process);
  return result;
}

void FakePlatform::ShowMessage(const std::string& text, MessageKind kind) {
  NullPlatform::ShowMessage(text, kind);
  if (whileMessageBoxShown) whileMessageBoxShown();
}

bool FakePlatform::IsProcessRunning(ProcessId process) {
  auto it = processes_.find(process);
  return it != processes_.end() && !it->second.ended;
}

bool FakePlatform::WatchProcess(ProcessId process) {
  auto it = processes_.find(process);
  if (it == processes_.end()) return false;
  Record("WatchProcess " + std::to_string(process));
  it->second.watched = true;
  if (it->second.ended) {
    At(now(), [this, process] { Deliver({EventKind::ProcessEnded, 0, 0, process}); });
  }
  return true;
}

bool FakePlatform::IsDescendantOf(ProcessId process, ProcessId ancestor) {
  for (int depth = 0; process != 0 && depth < 64; ++depth) {
    if (process == ancestor) return true;
    auto it = processes_.find(process);
    if (it == processes_.end()) return false;
    process = it->second.script.parent;
  }
  return false;
}

bool FakePlatform::TerminateTree(ProcessId process) {
  NullPlatform::TerminateTree(process);
  auto it = processes_.find(process);
  if (it == processes_.end() || it->second.script.cannotBeTerminated) return false;
  std::vector<ProcessId> tree;
  for (const auto& [id, state] : processes_) {
    if (!state.ended && IsDescendantOf(id, process)) tree.push_back(id);
  }
  for (ProcessId id : tree) {
    if (!processes_[id].script.cannotBeTerminated) EndSimulatedProcess(id);
  }
  return true;
}

std::string FakePlatform::StartTimer(int timerId, std::uint32_t intervalMs) {
  std::string refused = NullPlatform::StartTimer(timerId, intervalMs);
  if (refused.empty()) timerDue_[timerId] = now() + intervalMs;
  return refused;
}

std::vector<WindowHandle> FakePlatform::TopWindows() {
  std::vector<WindowHandle> out;
  for (const Window& window : windows_) {
    if (WindowExists(window)) out.push_back(window.handle);
  }
  Poll("TopWindows -> " + std::to_string(out.size()));
  return out;
}

std::vector<WindowHandle> FakePlatform::TopWindowsOf(ProcessId process) {
  std::vector<WindowHandle> out;
  for (const Window& window : windows_) {
    if (WindowExists(window) && window.owner == process) out.push_back(window.handle);
  }
  return out;
}

ProcessId FakePlatform::WindowProcess(WindowHandle window) {
  const Window* found = FindWindowByHandle(window);
  return found != nullptr && WindowExists(*found) ? found->owner : 0;
}

WindowHandle FakePlatform::ForegroundWindow() {
  ApplyPendingForeground();
  Poll("ForegroundWindow -> " + TraceHex(foreground));
  return foreground;
}

std::string FakePlatform::WindowTitle(WindowHandle window) {
  const Window* found = FindWindowByHandle(window);
  return found != nullptr ? found->title : std::string();
}

std::string FakePlatform::WindowClass(WindowHandle window) {
  const Window* found = FindWindowByHandle(window);
  Poll("WindowClass " + TraceHex(window));
  return found != nullptr && WindowExists(*found) ? found->className : std::string();
}

WindowHandle FakePlatform::OwnerWindow(WindowHandle window) {
  const Window* found = FindWindowByHandle(window);
  return found != nullptr && WindowExists(*found) ? found->ownedBy : 0;
}

bool FakePlatform::IsHung(WindowHandle window) {
  return std::find(hungWindows.begin(), hungWindows.end(), window) != hungWindows.end();
}

bool FakePlatform::BringToFront(WindowHandle window) {
  const bool inFront = BringToFrontNow(window);
  if (!afterBringToFront) return inFront;
  afterBringToFront(window);
  return inFront && foreground == window;
}

bool FakePlatform::BringToFrontNow(WindowHandle window) {
  NullPlatform::BringToFront(window);
  if (foregroundRefused || window == 0 || IsHung(window)) return false;
  const Window* target = FindWindowByHandle(window);
  if (target == nullptr || !WindowExists(*target)) return false;
  // Asking again while an activation is under way does not restart it.
  if (!pendingForeground_ || pendingForeground_->first != window) {
    pendingForeground_ = {window, now() + foregroundDelayMs};
  }
  ApplyPendingForeground();
  return foreground == window;
}

ProcessId FakePlatform::ParentProcess(ProcessId process) {
  auto it = processes_.find(process);
  return it != processes_.end() ? it->second.script.parent : 0;
}

std::uint32_t FakePlatform::IntegrityLevel(ProcessId process) {
  auto it = processes_.find(process);
  return it != processes_.end() ? it->second.script.integrity : 0;
}

void FakePlatform::RemoveWindow(WindowHandle handle) {
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                [handle](const Window& w) { return w.handle == handle; }),
                 windows_.end());
}

void FakePlatform::HideWindow(WindowHandle handle) {
  for (Window& window : windows_) {
    if (window.handle == handle) window.visibleAt = kNever;
  }
}

void FakePlatform::RequestClose(std::uint64_t at) {
  At(at, [this] { Deliver({EventKind::CloseRequested}); });
}

bool FakePlatform::WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) {
  NullPlatform::WaitUntilWindowResponds(window, timeoutMs);
  const Window* target = FindWindowByHandle(window);
  return target != nullptr && WindowExists(*target);
}

bool FakePlatform::IsVisible(WindowHandle window) {
  const Window* target = FindWindowByHandle(window);
  bool visible = target != nullptr && WindowExists(*target) && target->visibleAt <= now();
  Poll("IsVisible " + TraceHex(window) + " -> " + (visible ? "1" : "0"));
  return visible;
}

WindowSize FakePlatform::SizeOf(WindowHandle window) {
  const Window* target = FindWindowByHandle(window);
  return target != nullptr && WindowExists(*target) ? target->size : WindowSize{};
}

std::string FakePlatform::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  NullPlatform::PostWindowMessage(window, message, wParam, lParam);
  const Window* target = FindWindowByHandle(window);
  if (target == nullptr || !WindowExists(*target)) return "Invalid window handle. (error 1400)";
  if (IntegrityLevel(target->owner) > IntegrityLevel(kRuskelProcess)) {
    return "Access is denied. (error 5)";
  }
  // A single-window program's message loop ends on WM_QUIT, and its default
  // WM_CLOSE handling ends it too.
  if (message == kWmQuit || message == kWmClose) Quit(target->owner, message == kWmClose);
  return {};
}

bool FakePlatform::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                                std::uint32_t flags) {
  const bool taken = NullPlatform::SendKeyEvent(virtualKey, scanCode, flags);
  if (afterKeyEvent) afterKeyEvent();
  return taken;
}

std::uint8_t FakePlatform::ScanCodeOf(std::uint8_t virtualKey) {
  return UsScanCode(virtualKey);
}

KeyLook FakePlatform::LookAtKey(std::int32_t virtualKey) {
  KeyLook look;
  const auto last = lastKeyLook_.find(virtualKey);
  for (const Hold& press : keyPresses_) {
    if (press.source != static_cast<std::uint32_t>(virtualKey) || press.from > now()) continue;
    if (now() < press.to) look.down = true;
    if (last == lastKeyLook_.end() || press.from > last->second) look.pressedSinceLastLook = true;
  }
  look.pressedSinceLastLook = look.pressedSinceLastLook && pressBitKept;
  lastKeyLook_[virtualKey] = now();
  Poll("LookAtKey " + std::to_string(virtualKey) + " -> " + (look.down ? "1" : "0") +
       (look.pressedSinceLastLook ? " pressed" : ""));
  return look;
}

bool FakePlatform::ReadJoystick(std::uint32_t joystickId, JoyInfo& info) {
  Poll("Joystick " + std::to_string(joystickId));
  const bool present = joystickId == 0 ? joystickPresent
                                       : joysticksFrom_.count(joystickId) != 0 &&
                                             joysticksFrom_[joystickId] <= now();
  if (!present) return false;
  info = JoyInfo{};
  for (const Hold& hold : joystickHolds_) {
    if (hold.source == joystickId && hold.from <= now() && now() < hold.to)
      info.buttons = hold.buttons;
  }
  return true;
}

bool FakePlatform::ReadXInput(std::uint32_t userIndex, std::uint16_t& buttons) {
  Poll("XInput " + std::to_string(userIndex));
  auto it = xinputFrom_.find(userIndex);
  if (it == xinputFrom_.end() || it->second > now()) return false;
  buttons = 0;
  for (const Hold& hold : xinputHolds_) {
    if (hold.source == userIndex && hold.from <= now() && now() < hold.to) {
      buttons = static_cast<std::uint16_t>(hold.buttons);
    }
  }
  return true;
}

void FakePlatform::Retitle(WindowHandle handle, const std::string& title) {
  for (Window& window : windows_) {
    if (window.handle == handle) window.title = title;
  }
}

std::optional<std::uint32_t> FakePlatform::ClientPixel(WindowHandle window, std::int32_t x,
                                                       std::int32_t y) {
  NullPlatform::ClientPixel(window, x, y);  // written down
  const Window* found = FindWindowByHandle(window);
  if (found == nullptr || !WindowExists(*found)) return std::nullopt;
  const auto it = clientPixels.find({x, y});
  return it != clientPixels.end() ? it->second : 0u;
}

InputIdle FakePlatform::ProcessInputIdle(ProcessId process) {
  NullPlatform::ProcessInputIdle(process);
  if (processes_.count(process) == 0 || ProcessHasEnded(process)) return InputIdle::Unknown;
  return now() >= inputIdleAt ? InputIdle::Idle : InputIdle::Busy;
}

}  // namespace ruskel
