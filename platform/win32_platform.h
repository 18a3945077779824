// The whole PlatformOps on Windows: kernel32, user32, gdi32 and winmm; XInput is loaded at
// run time.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/front_ladder.h"
#include "platform/key_hold_filter.h"
#include "platform/platform_ops.h"

namespace ruskel {

// Rides along with every key ruskel sends (dwExtraInfo), so that raw input
// and the keyboard hold can tell them from the player's.
inline constexpr std::uintptr_t kOwnKeyMark = 0x4C4B5352;  // "RSKL"

class Win32Platform : public PlatformOps {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Processes (win32_process.cpp).
  std::string ArgumentText() override;
  std::string ProgramDirectory() override;
  ProcessStartResult StartProcess(const ProcessStart& start) override;
  [[noreturn]] void EndProcess(int exitCode) override;
  bool IsProcessRunning(ProcessId process) override;
  bool WatchProcess(ProcessId process) override;
  bool IsDescendantOf(ProcessId process, ProcessId ancestor) override;
  ProcessId OwnProcess() override;
  ProcessId ParentProcess(ProcessId process) override;
  std::uint32_t IntegrityLevel(ProcessId process) override;
  bool TerminateTree(ProcessId process) override;
  InputIdle ProcessInputIdle(ProcessId process) override;
  LaunchClaim ClaimLaunch() override;  // win32_launch_guard.cpp

  // Windows (win32_windows.cpp).
  std::vector<WindowHandle> TopWindows() override;
  std::vector<WindowHandle> TopWindowsOf(ProcessId process) override;
  ProcessId WindowProcess(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  std::string WindowTitle(WindowHandle window) override;
  std::string WindowClass(WindowHandle window) override;
  WindowHandle OwnerWindow(WindowHandle window) override;
  bool BringToFront(WindowHandle window) override;
  std::uint32_t StrongFrontClimbs() override { return frontLadder_.StrongClimbs(); }
  void AllowForeground(ProcessId process) override;
  ProcessId ShellProcess() override;
  bool IsHung(WindowHandle window) override;
  bool WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) override;
  bool IsVisible(WindowHandle window) override;
  WindowSize SizeOf(WindowHandle window) override;
  std::string PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
  void WatchWindows(bool on) override;
  std::optional<std::uint32_t> ClientPixel(WindowHandle window, std::int32_t x,
                                           std::int32_t y) override;

  // Keyboard (win32_keyboard.cpp).
  bool SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
  std::uint8_t ScanCodeOf(std::uint8_t virtualKey) override;
  std::string WatchKeys(bool on) override;
  std::string WatchMouseButtons(bool on) override;
  KeyLook LookAtKey(std::int32_t virtualKey) override;
  // The keyboard hold (win32_key_hold.cpp).
  std::string HoldBackKeys(bool on, std::int32_t passKey) override;
  std::uint32_t KeysHeldBack() override;

  // Pads (win32_pads.cpp).
  bool ReadJoystick(std::uint32_t joystickId, JoyInfo& info) override;
  bool ReadXInput(std::uint32_t userIndex, std::uint16_t& buttons) override;

  // Events (win32_events.cpp).
  std::string CreateTimerWindow() override;
  void SetEventHandler(std::function<void(const PlatformEvent&)> handler) override;
  std::string StartTimer(int timerId, std::uint32_t intervalMs) override;
  void StopTimer(int timerId) override;
  std::uint64_t NowMs() override;
  std::string LocalDateTime() override;
  void Pause(std::uint32_t ms) override;

  // Files (win32_files.cpp).
  FileReadResult ReadWholeFile(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool AppendToFile(const std::string& path, const std::string& bytes) override;
  bool WriteWholeFile(const std::string& path, const std::string& bytes) override;

  // Dialogs (win32_curtain.cpp).
  void ShowMessage(const std::string& text, MessageKind kind) override;
  void ShowCurtain(bool shown) override;

  // Text (win32_text.cpp).
  std::string UpperAnsi(const std::string& text) override;

  // The pointer and the system cursors (win32_cursor.cpp).
  std::optional<ScreenPoint> PointerPosition() override;
  bool MovePointer(ScreenPoint to) override;
  ScreenRect MonitorOf(WindowHandle window) override;
  int BlankSystemCursors() override;
  bool RestoreSystemCursors() override;
  bool MarkCursorsBlank(bool blank) override;
  bool CursorsMarkedBlank() override;
  std::optional<ScreenPoint> ClientPointOnScreen(WindowHandle window, std::int32_t x,
                                                 std::int32_t y) override;
  bool ClickLeft(ScreenPoint at) override;

  // Waits for messages and watched processes and delivers events, until a
  // handler ends the process. Nothing wakes it while there is nothing to do.
  [[noreturn]] void RunMessageLoop();

  // For the platform's own window and hook procedures.
  void QueueEvent(const PlatformEvent& event);
  void DeliverQueuedEvents();
  void OnRawInput(std::intptr_t rawInputHandle);
  void OnRawMouse(std::uint16_t buttonFlags);
  void OnWindowEvent(void* window);
  // WM_CLOSE to ruskel's windows, or the session ending: a CloseRequested event.
  void OnCloseRequest();
  // The session is ending (WM_ENDSESSION): the emulator is let outlive
  // ruskel, then the run closes as for a close request.
  void OnSessionEnding();

 private:
  struct Pending {
    std::uint64_t untilMs = 0;
    int count = 0;
  };

  // Clears kill-on-close from the job: the started processes outlive ruskel.
  void LetStartedProcessesOutlive();
  void* OpenWatchHandle(ProcessId process);
  void* ProcessHandle(ProcessId process);  // kept open, so the pid is never reused meanwhile
  bool IsOwnKey(std::int32_t virtualKey, bool keyUp, std::uintptr_t extraInfo);
  void DropQueued(bool (*matches)(const PlatformEvent&, int), int value);

  void* hostWindow_ = nullptr;  // HWND, kept out of this header
  std::function<void(const PlatformEvent&)> handler_;
  std::deque<PlatformEvent> queue_;
  bool delivering_ = false;

  // Processes: handles by pid, the job the started processes run in.
  std::map<ProcessId, void*> processHandles_;
  std::vector<ProcessId> watched_;
  std::vector<ProcessId> jobHolds_;  // started processes put in the job
  // (process, ancestor) pairs found outside the tree, for good: see IsDescendantOf.
  std::set<std::pair<ProcessId, ProcessId>> notDescendants_;
  void* job_ = nullptr;
  bool jobKillsOnClose_ = false;

  // Keys: raw input, and the keys ruskel sent itself that may still come back.
  bool watchingKeys_ = false;
  bool watchingMouse_ = false;
  bool ownMarkSeen_ = false;                  // the system hands our mark back with raw input
  std::map<std::uint32_t, Pending> ownKeys_;  // by vk * 2 + (key up ? 1 : 0)
  // The keyboard hold: its thread, and what it let through or held back.
  void* holdThread_ = nullptr;  // HANDLE
  unsigned long holdThreadId_ = 0;
  std::unique_ptr<KeyHoldFilter> holdFilter_;

  // Windows: the WinEvent hooks and whether one fired since the last turn.
  std::vector<void*> windowHooks_;
  bool windowsChanged_ = false;

  void* curtain_ = nullptr;  // HWND
  void KeepCurtainOnTop();   // win32_windows.cpp
  FrontLadder frontLadder_;  // how hard BringToFront may ask now

  // Pads: when a missing device is probed again.
  std::map<std::uint32_t, std::uint64_t> joystickRetryAtMs_;
  std::uint64_t xinputRetryAtMs_[4] = {0, 0, 0, 0};
  void* xinputGetState_ = nullptr;  // XInputGetState, when a DLL has it
  bool xinputLoaded_ = false;
};

// The one instance, for the window and hook procedures that the system calls.
Win32Platform* CurrentWin32Platform();

// CREATE_BREAKAWAY_FROM_JOB when this process runs in a job that lets
// programs leave it, else 0. Windows 7 puts no job inside another, so a
// program meant for ruskel's own job must start outside the outer one.
unsigned long JobBreakawayFlag();

// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(unsigned long errorCode);

}  // namespace ruskel
