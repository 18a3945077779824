// A deterministic simulated Windows for tests: a scripted world (processes,
// windows, keys, pads, clock) on top of the null platform, which answers the
// rest and writes down every call the wrapper makes. Events reach the wrapper
// as the real message loop would deliver them: one at a time, in time order.
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/null_platform.h"

namespace ruskel {

class FakePlatform : public NullPlatform {
 public:
  static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
  static constexpr WindowHandle kFrontEndWindow = 0x10;
  static constexpr ProcessId kFrontEndProcess = 50;
  static constexpr ProcessId kRuskelProcess = 60;
  static constexpr std::uint32_t kMediumIntegrity = 0x2000;
  static constexpr std::uint32_t kHighIntegrity = 0x3000;

  // The owner has no default: which process a window belongs to decides
  // whether the wrapper may type into it or close it.
  struct Window {
    WindowHandle handle;
    ProcessId owner;
    std::string title;
    std::uint64_t appearsAt = 0;
    std::uint64_t visibleAt = 0;
    std::uint64_t closedAt = kNever;
    std::string className = "EmulatorClass";
    WindowSize size = {640, 480};
    WindowHandle ownedBy = 0;  // the owner window of a dialog or tool window
  };

  struct Process {
    ProcessId id = 0;
    ProcessId parent = 0;
    std::uint64_t endsAt = kNever;  // quits by itself then
    bool ignoresQuit = false;
    bool ignoresClose = false;
    bool cannotBeTerminated = false;
    std::uint64_t quitTakesMs = 0;               // from WM_QUIT or WM_CLOSE to its end
    std::uint32_t integrity = kMediumIntegrity;  // above ruskel's: messages to it are refused
  };

  FakePlatform();

  // --- The scripted world (files, the pointer and the cursors are the null
  // platform's answers; the constructor sets those of a cabinet) ---
  // How the next process StartProcess starts behaves; its id and parent are set then.
  Process startedProcess;
  std::uint64_t foregroundDelayMs = 0;  // how long a BringToFront takes to land
  bool foregroundRefused = false;       // BringToFront never lands
  bool joystickPresent = false;         // winmm joystick 0
  bool keyEventsDelivered = true;       // false: as Wine with no window in front
  bool pressBitKept = true;    // false: another program takes the "pressed since" bit first
  bool tracePolls = false;     // also record lookups, key states and pad reads
  ProcessId shellProcess = 0;  // the desktop shell's (explorer.exe)
  std::vector<WindowHandle> hungWindows;  // not answering: BringToFront is refused
  // Runs while a message box is up, as a real modal loop that delivers messages would.
  std::function<void()> whileMessageBoxShown;
  // Runs after each key event sent, as another program taking the front mid-walk would.
  std::function<void()> afterKeyEvent;
  // The colours the screen shows at points of a window's client area (x,y);
  // any other point of an existing window is black.
  std::map<std::pair<std::int32_t, std::int32_t>, std::uint32_t> clientPixels;
  // The emulator's processes wait for input from then on.
  std::uint64_t inputIdleAt = 0;
  // Runs after each BringToFront, as a window that takes the front right after would.
  std::function<void(WindowHandle)> afterBringToFront;

  void AddWindow(const Window& window);
  void AddProcess(const Process& process);
  // A key held from `from` to `to`; KeyDown/KeyUp events reach the wrapper while it watches keys.
  void PressKey(std::int32_t virtualKey, std::uint64_t from, std::uint64_t to);
  // winmm joystick 0 (needs joystickPresent).
  void HoldButtons(std::uint32_t buttons, std::uint64_t from, std::uint64_t to);
  // Another winmm joystick, present from `from` on.
  void HoldJoystick(std::uint32_t id, std::uint32_t buttons, std::uint64_t from, std::uint64_t to);
  void ConnectXInput(std::uint32_t userIndex, std::uint64_t from = 0);
  void HoldXInput(std::uint32_t userIndex, std::uint16_t buttons, std::uint64_t from,
                  std::uint64_t to);
  void HideWindow(WindowHandle handle);    // never visible from now on
  void RemoveWindow(WindowHandle handle);  // as if it had never been
  void Retitle(WindowHandle handle, const std::string& title);
  // A CloseRequested event at time, as WM_CLOSE to ruskel's window gives.
  void RequestClose(std::uint64_t at);
  // Runs action when the clock reaches time (before timers due then).
  void At(std::uint64_t time, std::function<void()> action);

  // --- Running the simulation ---
  // Runs fn as the program's start; returns false when it ended the process.
  bool RunMain(const std::function<void()>& fn);
  // Delivers events and scripted actions until the process ends, nothing is
  // left to happen, or the clock passes limit. Returns the exit code if ended.
  std::optional<int> RunUntil(std::uint64_t limit);

  const Window* FindWindowByHandle(WindowHandle handle) const;
  bool ProcessHasEnded(ProcessId process) const;
  std::size_t timerTicks() const { return timerTicks_; }

  // --- PlatformOps, where the world answers ---
  ProcessStartResult StartProcess(const ProcessStart& start) override;
  void ShowMessage(const std::string& text, MessageKind kind) override;
  bool IsProcessRunning(ProcessId process) override;
  bool WatchProcess(ProcessId process) override;
  bool IsDescendantOf(ProcessId process, ProcessId ancestor) override;
  ProcessId OwnProcess() override { return kRuskelProcess; }
  ProcessId ParentProcess(ProcessId process) override;
  std::uint32_t IntegrityLevel(ProcessId process) override;
  bool TerminateTree(ProcessId process) override;
  std::string StartTimer(int timerId, std::uint32_t intervalMs) override;
  std::vector<WindowHandle> TopWindows() override;
  std::vector<WindowHandle> TopWindowsOf(ProcessId process) override;
  ProcessId WindowProcess(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  std::string WindowTitle(WindowHandle window) override;
  std::string WindowClass(WindowHandle window) override;
  WindowHandle OwnerWindow(WindowHandle window) override;
  bool BringToFront(WindowHandle window) override;
  ProcessId ShellProcess() override { return shellProcess; }
  bool IsHung(WindowHandle window) override;
  bool WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) override;
  bool IsVisible(WindowHandle window) override;
  WindowSize SizeOf(WindowHandle window) override;
  std::string PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
  bool SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
  std::uint8_t ScanCodeOf(std::uint8_t virtualKey) override;
  KeyLook LookAtKey(std::int32_t virtualKey) override;
  bool ReadJoystick(std::uint32_t joystickId, JoyInfo& info) override;
  bool ReadXInput(std::uint32_t userIndex, std::uint16_t& buttons) override;
  std::optional<std::uint32_t> ClientPixel(WindowHandle window, std::int32_t x,
                                           std::int32_t y) override;
  InputIdle ProcessInputIdle(ProcessId process) override;

 private:
  struct Hold {
    std::uint32_t source;  // key code, joystick id or XInput index
    std::uint32_t buttons;
    std::uint64_t from;
    std::uint64_t to;
  };
  struct ProcessState {
    Process script;
    bool ended = false;
    bool watched = false;
  };

  void Poll(std::string what);
  void ApplyPendingForeground();
  bool BringToFrontNow(WindowHandle window);
  bool WindowExists(const Window& window) const;
  void EndSimulatedProcess(ProcessId process);
  void Quit(ProcessId process, bool closeMessage);

  std::vector<Window> windows_;
  std::map<ProcessId, ProcessState> processes_;
  std::vector<Hold> keyPresses_;
  std::map<std::int32_t, std::uint64_t> lastKeyLook_;
  std::vector<Hold> joystickHolds_;
  std::map<std::uint32_t, std::uint64_t> joysticksFrom_;
  std::vector<Hold> xinputHolds_;
  std::map<std::uint32_t, std::uint64_t> xinputFrom_;
  std::multimap<std::uint64_t, std::function<void()>> actions_;
  std::map<int, std::uint64_t> timerDue_;  // when each running timer ticks next
  std::optional<std::pair<WindowHandle, std::uint64_t>> pendingForeground_;
  std::size_t timerTicks_ = 0;
};

}  // namespace ruskel
