// A deterministic simulated Windows for tests: a scripted world (files,
// processes, windows, keys, pads, clock) and a record of every call the
// wrapper makes. Events reach the wrapper as the real message loop would
// deliver them: one at a time, in time order.
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>
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
  static constexpr ProcessId kFrontEndProcess = 50;
  static constexpr ProcessId kRuskelProcess = 60;
  static constexpr ProcessId kFirstStartedProcess = 100;
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

  struct Event {
    std::uint64_t time;
    std::string what;
  };

  FakePlatform();

  // --- The scripted world ---
  std::string argumentText;
  std::string programDir = "C:\\Games\\ruskel";
  std::map<std::string, std::string> files;  // full path -> bytes
  std::set<std::string> unwritableFiles;
  bool processStarts = true;
  bool startNeedsElevation = false;  // with processStarts off: refused with error 740
  std::string processError = "The system cannot find the file specified.";
  // How the next process StartProcess starts behaves; its id and parent are set then.
  Process startedProcess;
  WindowHandle foreground = kFrontEndWindow;
  std::uint64_t foregroundDelayMs = 0;  // how long a BringToFront takes to land
  bool foregroundRefused = false;       // BringToFront never lands
  bool keysBlocked = false;             // SendKeyEvent is refused
  bool joystickPresent = false;         // winmm joystick 0
  bool keyEventsDelivered = true;       // false: as Wine with no window in front
  bool jobRefused = false;              // as Windows 7 when ruskel runs in a job already
  // Set-up the system refuses, with its reason: the host window, a timer, the key watch.
  bool timerWindowRefused = false;
  std::optional<int> timerRefused;  // this timer id
  bool keyWatchRefused = false;
  bool pressBitKept = true;  // false: another program takes the "pressed since" bit first
  bool tracePolls = false;   // also record lookups, key states and pad reads
  // The pointer and the monitors: a window listed in windowMonitors is on
  // that monitor, any other on the primary one.
  std::optional<ScreenPoint> pointer = ScreenPoint{400, 300};  // empty: position unknown
  ScreenRect primaryMonitor = {0, 0, 1920, 1080};
  std::map<WindowHandle, ScreenRect> windowMonitors;
  bool cursorsBlank = false;
  bool cursorsMarkedBlank = false;  // outlives a run, as the mark on disk does
  bool markUnwritable = false;
  // Runs while a message box is up, as a real modal loop that delivers messages would.
  std::function<void()> whileMessageBoxShown;
  // Runs after each key event sent, as another program taking the front mid-walk would.
  std::function<void()> afterKeyEvent;

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
  void HideWindow(WindowHandle handle);  // never visible from now on
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

  std::optional<int> exitCode() const { return exitCode_; }
  std::uint64_t now() const { return now_; }
  bool TimerRunning(int timerId) const;
  std::vector<int> RunningTimers() const;
  const std::vector<Event>& events() const { return events_; }
  std::vector<std::string> Trace() const;  // the event texts only
  // Events whose text starts with prefix.
  std::vector<std::string> TraceOf(const std::string& prefix) const;
  const Window* FindWindowByHandle(WindowHandle handle) const;
  bool ProcessHasEnded(ProcessId process) const;
  std::size_t timerTicks() const { return timerTicks_; }

  // --- PlatformOps ---
  std::string ArgumentText() override;
  std::string ProgramDirectory() override;
  FileReadResult ReadWholeFile(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool AppendToFile(const std::string& path, const std::string& bytes) override;
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override;
  ProcessStartResult StartProcess(const ProcessStart& start) override;
  void ShowMessage(const std::string& text, MessageKind kind) override;
  [[noreturn]] void EndProcess(int exitCode) override;
  bool IsProcessRunning(ProcessId process) override;
  bool WatchProcess(ProcessId process) override;
  bool IsDescendantOf(ProcessId process, ProcessId ancestor) override;
  ProcessId OwnProcess() override { return kRuskelProcess; }
  ProcessId ParentProcess(ProcessId process) override;
  std::uint32_t IntegrityLevel(ProcessId process) override;
  bool TerminateTree(ProcessId process) override;
  std::string CreateTimerWindow() override;
  void SetEventHandler(std::function<void(const PlatformEvent&)> handler) override;
  std::string StartTimer(int timerId, std::uint32_t intervalMs) override;
  void StopTimer(int timerId) override;
  std::uint64_t NowMs() override;
  std::string LocalDateTime() override { return "2024-05-31 18:04:05"; }
  void Pause(std::uint32_t ms) override;
  std::vector<WindowHandle> TopWindows() override;
  std::vector<WindowHandle> TopWindowsOf(ProcessId process) override;
  ProcessId WindowProcess(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  std::string WindowTitle(WindowHandle window) override;
  std::string WindowClass(WindowHandle window) override;
  bool BringToFront(WindowHandle window) override;
  void AllowForeground(ProcessId process) override;
  bool WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) override;
  bool IsVisible(WindowHandle window) override;
  std::string PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
  void WatchWindows(bool on) override;
  void ShowCurtain(bool shown) override;
  bool SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
  std::uint8_t ScanCodeOf(std::uint8_t virtualKey) override;
  std::string WatchKeys(bool on) override;
  std::string WatchMouseButtons(bool on) override;
  KeyLook LookAtKey(std::int32_t virtualKey) override;
  bool ReadJoystick(std::uint32_t joystickId, JoyInfo& info) override;
  bool ReadXInput(std::uint32_t userIndex, std::uint16_t& buttons) override;
  std::string UpperAnsi(const std::string& text) override;
  std::optional<ScreenPoint> PointerPosition() override { return pointer; }
  bool MovePointer(ScreenPoint to) override;
  ScreenRect MonitorOf(WindowHandle window) override;
  int BlankSystemCursors() override;
  bool RestoreSystemCursors() override;
  bool MarkCursorsBlank(bool blank) override;
  bool CursorsMarkedBlank() override { return cursorsMarkedBlank; }

 private:
  struct Timer {
    std::uint32_t intervalMs = 0;
    std::uint64_t due = 0;
    bool running = false;
  };
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

  void Record(std::string what);
  void Poll(std::string what);
  void Deliver(const PlatformEvent& event);
  void ApplyPendingForeground();
  bool WindowExists(const Window& window) const;
  void EndSimulatedProcess(ProcessId process);
  void Quit(ProcessId process, bool closeMessage);

  std::vector<Window> windows_;
  std::map<ProcessId, ProcessState> processes_;
  ProcessId nextProcess_ = kFirstStartedProcess;
  std::vector<Hold> keyPresses_;
  std::map<std::int32_t, std::uint64_t> lastKeyLook_;
  std::vector<Hold> joystickHolds_;
  std::map<std::uint32_t, std::uint64_t> joysticksFrom_;
  std::vector<Hold> xinputHolds_;
  std::map<std::uint32_t, std::uint64_t> xinputFrom_;
  std::multimap<std::uint64_t, std::function<void()>> actions_;
  std::map<int, Timer> timers_;
  std::function<void(const PlatformEvent&)> eventHandler_;
  std::vector<Event> events_;
  std::optional<int> exitCode_;
  std::uint64_t now_ = 0;
  std::optional<std::pair<WindowHandle, std::uint64_t>> pendingForeground_;
  bool timerWindowCreated_ = false;
  bool watchingKeys_ = false;
  bool watchingWindows_ = false;
  std::size_t timerTicks_ = 0;
};

}  // namespace ruskel
