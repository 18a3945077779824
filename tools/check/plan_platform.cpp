#include "tools/check/plan_platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/config_loader.h"
#include "platform/cp1252_upper.h"

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

PlanPlatform::PlanPlatform(std::string argumentText, std::string programDir, std::string configFile,
                           FileReader reader)
    : argumentText_(std::move(argumentText)),
      programDir_(std::move(programDir)),
      configFile_(std::move(configFile)),
      reader_(std::move(reader)) {}

bool PlanPlatform::Tick(int timerId) {
  if (!eventHandler_ || runningTimers.count(timerId) == 0) return false;
  now_ += runningTimers[timerId];
  eventHandler_({EventKind::Timer, timerId});
  return true;
}

void PlanPlatform::PressKey(std::int32_t virtualKey) {
  if (eventHandler_) eventHandler_({EventKind::KeyDown, 0, virtualKey});
}

FileReadResult PlanPlatform::ReadWholeFile(const std::string& path) {
  if (path == ConfigPath(programDir_)) {
    FileReadResult result = reader_(configFile_);
    configBytes = result.bytes;
    return result;
  }
  // The wrapper reads no other file; asking for one means the two disagree.
  FileReadResult result;
  result.error = "not the file being checked";
  return result;
}

ProcessStartResult PlanPlatform::StartProcess(const ProcessStart& start) {
  processStart = start;
  ProcessStartResult result;
  result.started = true;  // the emulator's window is taken to appear
  result.processId = kEmulatorProcess;
  return result;
}

void PlanPlatform::ShowMessage(const std::string& text, MessageKind) {
  messages.push_back(text);
}

void PlanPlatform::EndProcess(int exitCode) {
  throw RunStopped{exitCode};
}

void PlanPlatform::SetEventHandler(std::function<void(const PlatformEvent&)> handler) {
  eventHandler_ = std::move(handler);
}

std::string PlanPlatform::StartTimer(int timerId, std::uint32_t intervalMs) {
  runningTimers[timerId] = intervalMs;
  return {};
}

void PlanPlatform::StopTimer(int timerId) {
  runningTimers.erase(timerId);
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

// Windows-1252, as the unit tests' fake.
std::string PlanPlatform::UpperAnsi(const std::string& text) {
  return UpperCp1252(text);
}

bool PlanPlatform::BringToFront(WindowHandle window) {
  if (window != 0) foreground_ = window;
  return window != 0;
}

std::string PlanPlatform::PostWindowMessage(WindowHandle window, std::uint32_t message,
                                            std::uintptr_t, std::intptr_t) {
  posted.push_back({window, message});
  if (window == kEmulatorWindow && message == kWmQuit) quitPosted_ = true;
  return {};
}

bool PlanPlatform::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t, std::uint32_t flags) {
  keys.push_back({virtualKey, (flags & kKeyEventKeyUp) != 0});
  return true;
}

}  // namespace ruskel::check
