// A system where nothing else is there: no other window, no other process,
// no key held, no pad. Calls are answered from a few settable answers and
// written down, so that a run on it can be read back afterwards. Nothing
// leaves the object: no file is touched, no key reaches any program.
//
// The unit tests' fake adds a scripted world on top of it (windows, processes,
// keys and pads over time); ruskel-check's dry run sets it up with the file it
// checks and the one emulator window it pretends.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform_ops.h"

namespace ruskel {

// Thrown by EndProcess, so that a run on the null platform stops where a real one would.
struct ProcessEnded {
  int exitCode;
};

// One call as written down: when, on NowMs's clock, and what in words,
// for example "StartTimer 1 50ms" or "Key 40 down scan=0x50 ext".
struct PlatformCall {
  std::uint64_t time = 0;
  std::string what;
};

// The arguments of the calls whose values a reader needs, not only their words.
struct KeyEventSent {
  std::uint8_t virtualKey = 0;
  std::uint8_t scanCode = 0;
  std::uint32_t flags = 0;  // kKeyEvent*
};

struct PostedMessage {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

struct ShownMessage {
  std::string text;
  MessageKind kind = MessageKind::Information;
};

class NullPlatform : public PlatformOps {
 public:
  static constexpr ProcessId kFirstStartedProcess = 100;
  // Arrow, I-beam, busy, cross, up arrow, four sizing arrows, move, no, hand,
  // working in background, help: the cursors BlankSystemCursors replaces.
  static constexpr int kStandardCursors = 14;

  // --- The answers ---
  std::string argumentText;
  std::string programDir;
  std::string localDateTime;
  std::map<std::string, std::string> files;  // full path -> bytes; reads and writes use it
  std::string missingFileError = "The system cannot find the file specified.";
  std::set<std::string> unwritableFiles;
  bool processStarts = true;         // false: StartProcess is refused with processError
  bool startNeedsElevation = false;  // with processStarts off: as error 740
  std::string processError = "The system cannot find the file specified.";
  bool jobRefused = false;  // as Windows 7 when ruskel runs in a job already
  // Set-up the system refuses, with refusalText as its reason: the host
  // window, one timer, the key watch.
  bool timerWindowRefused = false;
  std::optional<int> timerRefused;
  bool keyWatchRefused = false;
  std::string refusalText = "Not enough quota is available to process this command.";
  WindowHandle foreground = 0;
  std::uint32_t strongFrontClimbs = 0;  // what StrongFrontClimbs answers
  bool keysBlocked = false;             // SendKeyEvent is refused
  std::optional<ScreenPoint> pointer;   // empty: position unknown
  ScreenRect primaryMonitor;
  std::map<WindowHandle, ScreenRect> windowMonitors;  // any other window is on the primary one
  bool cursorsBlank = false;
  bool cursorsMarkedBlank = false;  // outlives a run, as the mark on disk does
  bool markUnwritable = false;
  bool anotherRunOn = false;       // ClaimLaunch finds the folder's guard held by a run
  std::uint32_t keysHeldBack = 0;  // what KeysHeldBack answers
  bool holdRefused = false;        // HoldBackKeys on is refused with refusalText

  // --- What it was asked ---
  // Every call that asks the system to do something, in order, in words.
  const std::vector<PlatformCall>& events() const { return calls_; }
  std::vector<std::string> Trace() const;                             // the words only
  std::vector<std::string> TraceOf(const std::string& prefix) const;  // those starting so
  std::vector<ProcessStart> started;
  std::vector<KeyEventSent> keysSent;
  std::vector<PostedMessage> posted;
  std::vector<ShownMessage> messages;
  std::optional<int> exitCode() const { return exitCode_; }
  std::uint64_t now() const { return now_; }
  bool TimerRunning(int timerId) const { return timers_.count(timerId) != 0; }
  std::vector<int> RunningTimers() const;
  std::uint32_t TimerInterval(int timerId) const;  // 0 when not running
  bool WatchingKeys() const { return watchingKeys_; }
  bool WatchingWindows() const { return watchingWindows_; }

  // --- PlatformOps: processes. Only the ones it starts, and none of them runs ---
  std::string ArgumentText() override { return argumentText; }
  std::string ProgramDirectory() override { return programDir; }
  ProcessStartResult StartProcess(const ProcessStart& start) override;
  [[noreturn]] void EndProcess(int exitCode) override;
  bool IsProcessRunning(ProcessId) override { return false; }
  bool WatchProcess(ProcessId process) override;
  bool IsDescendantOf(ProcessId process, ProcessId ancestor) override {
    return process == ancestor;
  }
  ProcessId OwnProcess() override { return 0; }
  ProcessId ParentProcess(ProcessId) override { return 0; }
  std::uint32_t IntegrityLevel(ProcessId) override { return 0; }
  bool TerminateTree(ProcessId process) override;
  InputIdle ProcessInputIdle(ProcessId process) override;
  LaunchClaim ClaimLaunch() override;

  // --- Windows: none but the answer in `foreground` ---
  std::vector<WindowHandle> TopWindows() override { return {}; }
  std::vector<WindowHandle> TopWindowsOf(ProcessId) override { return {}; }
  ProcessId WindowProcess(WindowHandle) override { return 0; }
  WindowHandle ForegroundWindow() override { return foreground; }
  std::string WindowTitle(WindowHandle) override { return {}; }
  std::string WindowClass(WindowHandle) override { return {}; }
  WindowHandle OwnerWindow(WindowHandle) override { return 0; }
  bool BringToFront(WindowHandle window) override;
  std::uint32_t StrongFrontClimbs() override { return strongFrontClimbs; }
  void AllowForeground(ProcessId process) override;
  ProcessId ShellProcess() override { return 0; }
  bool IsHung(WindowHandle) override { return false; }
  bool WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) override;
  bool IsVisible(WindowHandle) override { return false; }
  WindowSize SizeOf(WindowHandle) override { return {}; }
  std::string PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
  void WatchWindows(bool on) override;
  std::optional<std::uint32_t> ClientPixel(WindowHandle window, std::int32_t x,
                                           std::int32_t y) override;

  // --- Keyboard: keys are written down; none is ever held ---
  bool SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
  std::uint8_t ScanCodeOf(std::uint8_t) override { return 0; }
  std::string WatchKeys(bool on) override;
  std::string WatchMouseButtons(bool on) override;
  KeyLook LookAtKey(std::int32_t) override { return {}; }
  std::string HoldBackKeys(bool on, std::int32_t passKey) override;
  std::uint32_t KeysHeldBack() override { return keysHeldBack; }
  bool HoldingKeys() const { return holdingKeys_; }

  // --- Pads: none is connected ---
  bool ReadJoystick(std::uint32_t, JoyInfo&) override { return false; }
  bool ReadXInput(std::uint32_t, std::uint16_t&) override { return false; }

  // --- Events: timers run only as the owner delivers their ticks ---
  std::string CreateTimerWindow() override;
  void SetEventHandler(std::function<void(const PlatformEvent&)> handler) override;
  std::string StartTimer(int timerId, std::uint32_t intervalMs) override;
  void StopTimer(int timerId) override;
  std::uint64_t NowMs() override { return now_; }
  std::string LocalDateTime() override { return localDateTime; }
  void Pause(std::uint32_t ms) override;  // moves the clock on

  // --- Files: the map in `files` ---
  FileReadResult ReadWholeFile(const std::string& path) override;
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  bool AppendToFile(const std::string& path, const std::string& bytes) override;
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override;

  // --- Dialogs: written down, never shown ---
  void ShowMessage(const std::string& text, MessageKind kind) override;
  void ShowCurtain(bool shown) override;

  // --- Text: Windows-1252, the ANSI code page of western Windows ---
  std::string UpperAnsi(const std::string& text) override;

  // --- The pointer and the cursors: the answers above, changed as asked ---
  std::optional<ScreenPoint> PointerPosition() override { return pointer; }
  bool MovePointer(ScreenPoint to) override;
  ScreenRect MonitorOf(WindowHandle window) override;
  int BlankSystemCursors() override;
  bool RestoreSystemCursors() override;
  bool MarkCursorsBlank(bool blank) override;
  bool CursorsMarkedBlank() override { return cursorsMarkedBlank; }
  std::optional<ScreenPoint> ClientPointOnScreen(WindowHandle window, std::int32_t x,
                                                 std::int32_t y) override;
  bool ClickLeft(ScreenPoint at) override;

 protected:
  void Record(std::string what);
  // A handle or flags in the record's words: "0x2a".
  static std::string TraceHex(std::uint64_t value);
  // Hands an event to the wrapper's handler, as the message loop would.
  void Deliver(const PlatformEvent& event);
  void AdvanceTo(std::uint64_t time) { now_ = time; }

 private:
  std::vector<PlatformCall> calls_;
  std::function<void(const PlatformEvent&)> eventHandler_;
  std::map<int, std::uint32_t> timers_;  // running timers: id -> interval
  std::optional<int> exitCode_;
  std::uint64_t now_ = 0;
  ProcessId nextProcess_ = kFirstStartedProcess;
  bool timerWindowCreated_ = false;
  bool watchingKeys_ = false;
  bool holdingKeys_ = false;
  bool watchingWindows_ = false;
};

}  // namespace ruskel
