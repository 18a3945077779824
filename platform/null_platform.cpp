#include "platform/null_platform.h"

#include <cstdio>
#include <utility>

#include "platform/cp1252_upper.h"

namespace ruskel {
namespace {

const char* OnOff(bool on) {
  return on ? "on" : "off";
}

}  // namespace

std::vector<std::string> NullPlatform::Trace() const {
  std::vector<std::string> out;
  for (const PlatformCall& call : calls_) out.push_back(call.what);
  return out;
}

std::vector<std::string> NullPlatform::TraceOf(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const PlatformCall& call : calls_) {
    if (call.what.rfind(prefix, 0) == 0) out.push_back(call.what);
  }
  return out;
}

std::vector<int> NullPlatform::RunningTimers() const {
  std::vector<int> out;
  for (const auto& [id, interval] : timers_) out.push_back(id);
  return out;
}

std::uint32_t NullPlatform::TimerInterval(int timerId) const {
  const auto it = timers_.find(timerId);
  return it != timers_.end() ? it->second : 0;
}

void NullPlatform::Record(std::string what) {
  calls_.push_back({now_, std::move(what)});
}

void NullPlatform::Deliver(const PlatformEvent& event) {
  if (eventHandler_) eventHandler_(event);
}

ProcessStartResult NullPlatform::StartProcess(const ProcessStart& start) {
  Record("StartProcess " +
         (start.applicationName.empty() ? "" : "app=" + start.applicationName + " ") +
         "cmd=" + start.commandLine + " dir=" + start.workingDirectory + " inherit=" +
         (start.inheritHandles ? "1" : "0") + " flags=" + TraceHex(start.creationFlags) +
         (start.killWithRuskel ? " killwithruskel" : ""));
  started.push_back(start);
  ProcessStartResult result;
  result.started = processStarts;
  if (!processStarts) {
    result.error = processError;
    result.needsElevation = startNeedsElevation;
    return result;
  }
  result.processId = nextProcess_++;
  if (start.killWithRuskel && jobRefused) result.jobError = "Access is denied.";
  return result;
}

void NullPlatform::EndProcess(int exitCode) {
  Record("EndProcess " + std::to_string(exitCode));
  exitCode_ = exitCode;
  throw ProcessEnded{exitCode};
}

bool NullPlatform::WatchProcess(ProcessId process) {
  Record("WatchProcess " + std::to_string(process));
  return false;  // no process runs here to be watched
}

bool NullPlatform::TerminateTree(ProcessId process) {
  Record("TerminateTree " + std::to_string(process));
  return true;  // none runs: nothing is left running
}

InputIdle NullPlatform::ProcessInputIdle(ProcessId process) {
  Record("ProcessInputIdle " + std::to_string(process));
  return InputIdle::Unknown;  // none runs
}

bool NullPlatform::BringToFront(WindowHandle window) {
  Record("BringToFront " + TraceHex(window));
  return false;
}

void NullPlatform::AllowForeground(ProcessId process) {
  Record("AllowForeground " + std::to_string(process));
}

bool NullPlatform::WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) {
  Record("WaitUntilWindowResponds " + TraceHex(window) + " " + std::to_string(timeoutMs) + "ms");
  return false;
}

std::string NullPlatform::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  Record("PostMessage " + TraceHex(window) + " " + TraceHex(message) + " " +
         std::to_string(wParam) + " " + std::to_string(lParam));
  posted.push_back({window, message, wParam, lParam});
  return "Invalid window handle. (error 1400)";
}

void NullPlatform::WatchWindows(bool on) {
  if (on != watchingWindows_) Record(std::string("WatchWindows ") + OnOff(on));
  watchingWindows_ = on;
}

std::optional<std::uint32_t> NullPlatform::ClientPixel(WindowHandle window, std::int32_t x,
                                                       std::int32_t y) {
  Record("ClientPixel " + TraceHex(window) + " " + std::to_string(x) + "," + std::to_string(y));
  return std::nullopt;  // no window shows anything
}

bool NullPlatform::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                                std::uint32_t flags) {
  std::string what =
      "Key " + std::to_string(virtualKey) + ((flags & kKeyEventKeyUp) != 0 ? " up" : " down");
  if (scanCode != 0) what += " scan=" + TraceHex(scanCode);
  if ((flags & kKeyEventExtendedKey) != 0) what += " ext";
  if ((flags & kKeyEventScanCode) != 0) what += " scancode";
  const std::uint32_t known = kKeyEventKeyUp | kKeyEventExtendedKey | kKeyEventScanCode;
  if ((flags & ~known) != 0) what += " flags=" + TraceHex(flags);
  if (keysBlocked) what += " blocked";
  Record(what);
  keysSent.push_back({virtualKey, scanCode, flags});
  return !keysBlocked;
}

std::string NullPlatform::WatchKeys(bool on) {
  if (on != watchingKeys_) Record(std::string("WatchKeys ") + OnOff(on));
  if (on && keyWatchRefused) return refusalText;
  watchingKeys_ = on;
  return {};
}

std::string NullPlatform::HoldBackKeys(bool on, std::int32_t passKey) {
  if (on == holdingKeys_) return {};
  Record(on ? "HoldBackKeys on pass=" + std::to_string(passKey) : std::string("HoldBackKeys off"));
  if (on && holdRefused) return refusalText;
  holdingKeys_ = on;
  return {};
}

LaunchClaim NullPlatform::ClaimLaunch() {
  return anotherRunOn ? LaunchClaim::AnotherRun : LaunchClaim::Ours;
}

std::string NullPlatform::WatchMouseButtons(bool on) {
  Record(std::string("WatchMouseButtons ") + OnOff(on));
  if (on && keyWatchRefused) return refusalText;
  return {};
}

std::string NullPlatform::CreateTimerWindow() {
  Record("CreateTimerWindow");
  if (timerWindowRefused) return refusalText;
  timerWindowCreated_ = true;
  return {};
}

void NullPlatform::SetEventHandler(std::function<void(const PlatformEvent&)> handler) {
  eventHandler_ = std::move(handler);
}

std::string NullPlatform::StartTimer(int timerId, std::uint32_t intervalMs) {
  Record("StartTimer " + std::to_string(timerId) + " " + std::to_string(intervalMs) + "ms");
  if (timerRefused == timerId) return refusalText;
  if (!timerWindowCreated_) Record("ERROR timer started before the timer window exists");
  timers_[timerId] = intervalMs;
  return {};
}

void NullPlatform::StopTimer(int timerId) {
  Record("StopTimer " + std::to_string(timerId));
  timers_.erase(timerId);
}

void NullPlatform::Pause(std::uint32_t ms) {
  Record("Pause " + std::to_string(ms) + "ms");
  now_ += ms;
}

FileReadResult NullPlatform::ReadWholeFile(const std::string& path) {
  Record("ReadFile " + path);
  FileReadResult result;
  const auto it = files.find(path);
  if (it == files.end()) {
    result.error = missingFileError;
  } else {
    result.ok = true;
    result.bytes = it->second;
  }
  return result;
}

bool NullPlatform::AppendToFile(const std::string& path, const std::string& bytes) {
  if (unwritableFiles.count(path) != 0) return false;
  files[path] += bytes;
  return true;
}

bool NullPlatform::WriteWholeFile(const std::string& path, const std::string& bytes) {
  if (unwritableFiles.count(path) != 0) return false;
  files[path] = bytes;
  return true;
}

void NullPlatform::ShowMessage(const std::string& text, MessageKind kind) {
  Record(std::string(kind == MessageKind::Error ? "ErrorBox: " : "MessageBox: ") + text);
  messages.push_back({text, kind});
}

void NullPlatform::ShowCurtain(bool shown) {
  Record(std::string("Curtain ") + OnOff(shown));
}

std::string NullPlatform::UpperAnsi(const std::string& text) {
  return UpperCp1252(text);
}

bool NullPlatform::MovePointer(ScreenPoint to) {
  Record("MovePointer " + std::to_string(to.x) + "," + std::to_string(to.y));
  pointer = to;
  return true;
}

ScreenRect NullPlatform::MonitorOf(WindowHandle window) {
  const auto it = windowMonitors.find(window);
  return it != windowMonitors.end() ? it->second : primaryMonitor;
}

int NullPlatform::BlankSystemCursors() {
  Record("BlankCursors");
  cursorsBlank = true;
  return kStandardCursors;
}

bool NullPlatform::RestoreSystemCursors() {
  Record("RestoreCursors");
  cursorsBlank = false;
  return true;
}

std::optional<ScreenPoint> NullPlatform::ClientPointOnScreen(WindowHandle window, std::int32_t x,
                                                             std::int32_t y) {
  if (window == 0) return std::nullopt;
  // Every window's client area starts at the top left of its monitor.
  const ScreenRect monitor = MonitorOf(window);
  return ScreenPoint{monitor.left + x, monitor.top + y};
}

bool NullPlatform::ClickLeft(ScreenPoint at) {
  Record("ClickLeft " + std::to_string(at.x) + "," + std::to_string(at.y));
  pointer = at;
  return true;
}

bool NullPlatform::MarkCursorsBlank(bool blank) {
  Record(std::string("MarkCursorsBlank ") + OnOff(blank));
  if (markUnwritable) return false;
  cursorsMarkedBlank = blank;
  return true;
}

std::string NullPlatform::TraceHex(std::uint64_t value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(value));
  return buf;
}

}  // namespace ruskel
