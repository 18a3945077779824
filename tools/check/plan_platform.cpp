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
  if (!tickHandler_ || runningTimers.count(timerId) == 0) return false;
  tickHandler_(timerId);
  return true;
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
  return result;
}

void PlanPlatform::ShowMessage(const std::string& text, MessageKind) {
  messages.push_back(text);
}

void PlanPlatform::EndProcess(int exitCode) {
  throw RunStopped{exitCode};
}

std::string PlanPlatform::UpperAnsi(const std::string& text) {
  return UpperCp1252(text);
}

void PlanPlatform::SetTickHandler(std::function<void(int timerId)> handler) {
  tickHandler_ = std::move(handler);
}

void PlanPlatform::StartTimer(int timerId, std::uint32_t intervalMs) {
  runningTimers[timerId] = intervalMs;
}

void PlanPlatform::StopTimer(int timerId) {
  runningTimers.erase(timerId);
}

WindowHandle PlanPlatform::FindTopWindow(const std::string&) {
  return kEmulatorWindow;
}

void PlanPlatform::BringToFront(WindowHandle window) {
  if (window != 0) foreground_ = window;
}

void PlanPlatform::PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t,
                                     std::intptr_t) {
  posted.push_back({window, message});
}

void PlanPlatform::SendKeyEvent(std::uint8_t virtualKey, std::uint8_t, std::uint32_t flags,
                                std::uintptr_t) {
  keys.push_back({virtualKey, (flags & kKeyEventKeyUp) != 0});
}

std::uint16_t PlanPlatform::KeyState(std::int32_t) {
  return exitKeyHeld_ ? 0xFF80 : 0;
}

bool PlanPlatform::ReadJoystick(std::uint32_t, JoyInfo&) {
  return false;  // no joystick: only the exit key ends a dry run
}

}  // namespace ruskel::check
