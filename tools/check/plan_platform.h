// The stand-in system of a dry run: the null platform with the checked file
// as lconfig.ini and the emulator's window there at once. Nothing is started,
// no key reaches any window; the wrapper's calls are only written down.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "platform/null_platform.h"

namespace ruskel::check {

// A key event as the plan shows it: the code and whether it is a key-up.
struct SentKey {
  std::uint8_t code;
  bool up;
};

using FileReader = std::function<FileReadResult(const std::string& path)>;

// Reads a file from disk; the reason on failure is the C library's.
FileReadResult ReadFileFromDisk(const std::string& path);

class PlanPlatform : public NullPlatform {
 public:
  // The window every lookup finds: the dry run pretends the emulator's window
  // is there at once.
  static constexpr WindowHandle kEmulatorWindow = 0x2a;
  // Whatever had the focus before the emulator window was brought forward.
  static constexpr WindowHandle kFrontEndWindow = 0x10;
  static constexpr ProcessId kEmulatorProcess = kFirstStartedProcess;

  // The wrapper asks for programDir\lconfig.ini; configFile, read through
  // reader, is what it gets for that path, whatever it is called.
  PlanPlatform(std::string argumentText, std::string programDir, const std::string& configFile,
               const FileReader& reader = ReadFileFromDisk);

  // Delivers one tick of a running timer, with the clock moved on by its
  // interval; false when that timer is not running.
  bool Tick(int timerId);
  // The key events typed since the previous call.
  std::vector<SentKey> TakeKeys();
  // The file as the wrapper read it; empty when it did not read it.
  std::string ConfigBytes() const;

  // The emulator window's title and class: whatever the file's window rule
  // asks for, set once the file is read.
  std::string windowTitle;
  std::string windowClass;

  // The emulator runs until it is asked to quit, and quits at once then.
  bool IsProcessRunning(ProcessId process) override {
    return process == kEmulatorProcess && !quitPosted_;
  }
  bool WatchProcess(ProcessId) override { return true; }  // it ends only when asked

  // Its window is there at once, and in front once brought there.
  std::vector<WindowHandle> TopWindows() override;
  std::vector<WindowHandle> TopWindowsOf(ProcessId process) override;
  ProcessId WindowProcess(WindowHandle window) override;
  // Once in front the window shows what the walk's waits wait for: the texts
  // of its title waits added to its title, the colours of its pixel waits at
  // their points; and the emulator waits for input at once.
  std::string shownTitle;
  std::map<std::pair<std::int32_t, std::int32_t>, std::uint32_t> shownPixels;
  std::string WindowTitle(WindowHandle window) override {
    if (window != kEmulatorWindow) return std::string();
    return foreground == kEmulatorWindow ? windowTitle + shownTitle : windowTitle;
  }
  std::optional<std::uint32_t> ClientPixel(WindowHandle window, std::int32_t x,
                                           std::int32_t y) override {
    NullPlatform::ClientPixel(window, x, y);
    if (window != kEmulatorWindow) return std::nullopt;
    const auto shown = shownPixels.find({x, y});
    return shown != shownPixels.end() ? shown->second : 0u;
  }
  InputIdle ProcessInputIdle(ProcessId process) override {
    NullPlatform::ProcessInputIdle(process);
    return process == kEmulatorProcess ? InputIdle::Idle : InputIdle::Unknown;
  }
  std::string WindowClass(WindowHandle window) override {
    return window == kEmulatorWindow ? windowClass : std::string();
  }
  bool BringToFront(WindowHandle window) override;
  bool WaitUntilWindowResponds(WindowHandle, std::uint32_t) override { return true; }
  bool IsVisible(WindowHandle window) override { return window != 0; }
  std::string PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;

  // Every program is taken to be there: the checker cannot see the cabinet's folder.
  bool FileExists(const std::string&) override { return true; }

 private:
  std::string configBytes_;
  bool quitPosted_ = false;
};

}  // namespace ruskel::check
