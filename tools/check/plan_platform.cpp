#include "tools/check/plan_platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/config_loader.h"

namespace ruskel::check {

FileReadResult ReadFileFromDisk(const std::string& path) {
  FileReadResult result;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    result.error = std::strerror(errno);
    return result;
  }
  char buf[4096];
  std::size_t got = 0;
  while ((got = std::fread(buf, 1, sizeof buf, file)) > 0) result.bytes.append(buf, got);
  result.ok = std::ferror(file) == 0;
  if (!result.ok) result.error = std::strerror(errno);
  std::fclose(file);
  return result;
}

PlanPlatform::PlanPlatform(std::string argumentText, std::string programDir,
                           const std::string& configFile, const FileReader& reader) {
  this->argumentText = std::move(argumentText);
  this->programDir = std::move(programDir);
  localDateTime = "(dry run)";
  foreground = kFrontEndWindow;
  FileReadResult config = reader(configFile);
  configBytes_ = config.bytes;
  if (config.ok) {
    files[ConfigPath(this->programDir)] = std::move(config.bytes);
  } else {
    missingFileError = config.error;
  }
}

bool PlanPlatform::Tick(int timerId) {
  if (!TimerRunning(timerId)) return false;
  AdvanceTo(now() + TimerInterval(timerId));
  Deliver({EventKind::Timer, timerId});
  return true;
}

std::vector<SentKey> PlanPlatform::TakeKeys() {
  std::vector<SentKey> out;
  for (const KeyEventSent& key : keysSent) {
    out.push_back({key.virtualKey, (key.flags & kKeyEventKeyUp) != 0});
  }
  keysSent.clear();
  return out;
}

std::string PlanPlatform::ConfigBytes() const {
  return TraceOf("ReadFile " + ConfigPath(programDir)).empty() ? std::string() : configBytes_;
}

std::vector<WindowHandle> PlanPlatform::TopWindows() {
  if (quitPosted_) return {};
  return {kEmulatorWindow};
}

std::vector<WindowHandle> PlanPlatform::TopWindowsOf(ProcessId process) {
  if (quitPosted_ || process != kEmulatorProcess) return {};
  return {kEmulatorWindow};
}

ProcessId PlanPlatform::WindowProcess(WindowHandle window) {
  return window == kEmulatorWindow && !quitPosted_ ? kEmulatorProcess : 0;
}

bool PlanPlatform::BringToFront(WindowHandle window) {
  NullPlatform::BringToFront(window);
  if (window != 0) foreground = window;
  return window != 0;
}

std::string PlanPlatform::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  NullPlatform::PostWindowMessage(window, message, wParam, lParam);
  if (window == kEmulatorWindow && message == kWmQuit) quitPosted_ = true;
  return {};
}

}  // namespace ruskel::check
