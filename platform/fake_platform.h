// A deterministic simulated Windows for tests: a scripted world (files,
// windows, keys, joystick, clock) and a record of every call the wrapper makes.
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_ops.h"

namespace ruskel {

// Thrown by EndProcess so that a simulated run stops where a real one would.
struct ProcessEnded {
  int exitCode;
};

class FakePlatform : public PlatformOps {
 public:
  static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
  static constexpr WindowHandle kFrontEndWindow = 0x10;

  struct Window {
    WindowHandle handle = 0;
    std::string title;
    std::uint64_t appearsAt = 0;
    std::uint64_t visibleAt = 0;
    std::uint64_t closedAt = kNever;
  };

  struct Event {
    std::uint64_t time;
    std::string what;
  };

  // --- The scripted world ---
  std::string argumentText;
  std::string programDir = "C:\\Games\\ruskel";
  std::map<std::string, std::string> files;  // full path -> bytes
  bool processStarts = true;
  std::string processError = "The system cannot find the file specified.";
  WindowHandle foreground = kFrontEndWindow;
  std::uint64_t foregroundDelayMs = 0;  // how long a BringToFront takes to land
  bool foregroundRefused = false;       // BringToFront never lands
  bool joystickPresent = false;
  bool tracePolls = false;  // also record lookups, key states and joystick reads
  // Runs while a message box is up, as a real modal loop that delivers messages would.
  std::function<void()> whileMessageBoxShown;

  void AddWindow(const Window& window) { windows_.push_back(window); }
  void PressKey(std::int32_t virtualKey, std::uint64_t from, std::uint64_t to);
  void HoldButtons(std::uint32_t buttons, std::uint64_t from, std::uint64_t to);
  // Runs action when the clock reaches time (before timers due then).
  void At(std::uint64_t time, std::function<void()> action);

  // --- Running the simulation ---
  // Runs fn as the program's start; returns false when it ended the process.
  bool RunMain(const std::function<void()>& fn);
  // Delivers ticks and scripted actions until the process ends, nothing is
  // left to happen, or the clock passes limit. Returns the exit code if ended.
  std::optional<int> RunUntil(std::uint64_t limit);

  std::optional<int> exitCode() const { return exitCode_; }
  std::uint64_t now() const { return now_; }
  bool TimerRunning(int timerId) const;
  const std::vector<Event>& events() const { return events_; }
  std::vector<std::string> Trace() const;  // the event texts only
  // Events whose text starts with prefix.
  std::vector<std::string> TraceOf(const std::string& prefix) const;
  const Window* FindWindowByHandle(WindowHandle handle) const;

  // --- PlatformOps ---
  std::string ArgumentText() override;
  std::string ProgramDirectory() override;
  FileReadResult ReadWholeFile(const std::string& path) override;
  ProcessStartResult StartProcess(const ProcessStart& start) override;
  void ShowMessage(const std::string& text, MessageKind kind) override;
  [[noreturn]] void EndProcess(int exitCode) override;
  // Windows-1252, the ANSI code page of western Windows.
  std::string UpperAnsi(const std::string& text) override;
  void CreateTimerWindow() override;
  void SetTickHandler(std::function<void(int timerId)> handler) override;
  void StartTimer(int timerId, std::uint32_t intervalMs) override;
  void StopTimer(int timerId) override;
  std::uint64_t NowMs() override;
  WindowHandle FindTopWindow(const std::string& title) override;
  WindowHandle ForegroundWindow() override;
  void BringToFront(WindowHandle window) override;
  bool IsVisible(WindowHandle window) override;
  void PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) override;
  void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                    std::uintptr_t extraInfo) override;
  std::uint16_t KeyState(std::int32_t virtualKey) override;
  bool ReadJoystick(std::uint32_t joystickId, JoyInfo& info) override;

 private:
  struct Timer {
    std::uint32_t intervalMs = 0;
    std::uint64_t due = 0;
    bool running = false;
  };
  struct Press {
    std::int32_t key;
    std::uint32_t buttons;
    std::uint64_t from;
    std::uint64_t to;
  };

  void Record(std::string what);
  void Poll(std::string what);
  void ApplyPendingForeground();
  bool WindowExists(const Window& window) const;

  std::vector<Window> windows_;
  std::vector<Press> keyPresses_;
  std::vector<Press> buttonHolds_;
  std::multimap<std::uint64_t, std::function<void()>> actions_;
  std::map<int, Timer> timers_;
  std::function<void(int)> tickHandler_;
  std::vector<Event> events_;
  std::optional<int> exitCode_;
  std::uint64_t now_ = 0;
  std::optional<std::pair<WindowHandle, std::uint64_t>> pendingForeground_;
  bool timerWindowCreated_ = false;
};

}  // namespace ruskel
