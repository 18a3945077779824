// The stand-in system of a dry run: the wrapper's own code runs against it,
// and it only writes down what the wrapper asked for. Nothing is started, no
// key reaches any window. It stands in for every concern but the pads: a dry
// run never reads them (NoPads).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_ops.h"

namespace ruskel::check {

// Thrown by EndProcess, so that a dry run stops where the real one would end.
struct RunStopped {
  int exitCode;
};

struct SentKey {
  std::uint8_t code;
  bool up;
};

struct PostedMessage {
  WindowHandle window;
  std::uint32_t message;
};

using FileReader = std::function<FileReadResult(const std::string& path)>;

// Reads a file from disk; the reason on failure is the C library's.
FileReadResult ReadFileFromDisk(const std::string& path);

class PlanPlatform : public ProcessOps,
                     public WindowOps,
                     public KeyboardOps,
                     public EventOps,
                     public FileOps,
                     public DialogOps,
                     public TextOps,
                     public CursorOps {
 public:
  // The window every lookup finds: the dry run pretends the emulator's window
  // is there at once.
  static constexpr WindowHandle kEmulatorWindow = 0x2a;
  // Whatever had the focus before the emulator window was brought forward.
  static constexpr WindowHandle kFrontEndWindow = 0x10;

  // The wrapper asks for programDir\lconfig.ini; configFile is what is read
  // for that path, whatever it is called.
  PlanPlatform(std::string argumentText, std::string programDir, std::string configFile,
               FileReader reader = ReadFileFromDisk);

  static constexpr ProcessId kEmulatorProcess = 100;

  // Delivers one tick of a running timer, with the clock moved on by its
  // interval; false when that timer is not running.
  bool Tick(int timerId);
  // Delivers a key-down of the exit key.
  void PressKey(std::int32_t virtualKey);

  // --- What the wrapper asked for ---
  std::string configBytes;  // the file as the wrapper read it
  std::optional<ProcessStart> processStart;
  std::vector<std::string> messages;
  std::vector<SentKey> keys;
  std::vector<PostedMessage> posted;
  std::map<int, std::uint32_t> runningTimers;  // timer id -> interval
  // The emulator window's title and class: whatever the file's window rule
  // asks for, set once the file is read.
  std::string windowTitle;
  std::string windowClass;

  // --- Processes: the emulator runs until it is asked to quit, and quits at once then ---
  std::string ArgumentText() override { return argumentText_; }
  std::string ProgramDirectory() override { return programDir_; }
  ProcessStartResult StartProcess(const ProcessStart& start) override;
  [[noreturn]] void EndProcess(int exitCode) override;
  bool IsProcessRunning(ProcessId process) override {
    return process == kEmulatorProcess && !quitPosted_;
  }
  bool WatchProcess(ProcessId) override { return true; }  // it ends only when asked
  bool IsDescendantOf(ProcessId process, ProcessId ancestor) override {
    return process == ancestor;
  }
  ProcessId OwnProcess() override { return 0; }
  ProcessId ParentProcess(ProcessId) override { return 0; }  // no front end in a dry run
  std::uint32_t IntegrityLevel(ProcessId) override { return 0; }
  bool TerminateTree(ProcessId) override { return true; }

  // --- Windows: the emulator's window is there at once, and in front once brought there ---
  std::vector<WindowHandle> TopWindows() override;
  std::vector<WindowHandle> TopWindowsOf(ProcessId process) override;
  ProcessId WindowProcess(WindowHandle window) override;
  WindowHandle ForegroundWindow() override { return foreground_; }
  std::string WindowTitle(WindowHandle window) override {
    return window == kEmulatorWindow ? windowTitle : std::string();
  }
  std::string WindowClass(WindowHandle window) override {
    return window == kEmulatorWindow ? windowClass : std::string();
  }
  bool BringToFront(WindowHandle window) override;
  void AllowForeground(ProcessId) override {}
  bool WaitUntilWindowResponds(WindowHandle, std::uint32_t) override { return true; }
  bool IsVisible(WindowHandle window) override { return window != 0; }
  std::string PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
  void WatchWindows(bool) override {}  // no window comes or goes

  // --- Keyboard: keys are written down; no key is held but those PressKey delivers ---
  bool SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
  std::uint8_t ScanCodeOf(std::uint8_t) override { return 0; }  // the plan shows codes only
  std::string WatchKeys(bool) override { return {}; }
  KeyLook LookAtKey(std::int32_t) override { return {}; }
  std::string WatchMouseButtons(bool) override { return {}; }

  // --- Events: ticks come only from Tick, on a clock that moves with them ---
  std::string CreateTimerWindow() override { return {}; }
  void SetEventHandler(std::function<void(const PlatformEvent&)> handler) override;
  std::string StartTimer(int timerId, std::uint32_t intervalMs) override;
  void StopTimer(int timerId) override;
  std::uint64_t NowMs() override { return now_; }
  std::string LocalDateTime() override { return "(dry run)"; }
  void Pause(std::uint32_t ms) override { now_ += ms; }

  // --- Files: only the checked file is read; nothing is written ---
  FileReadResult ReadWholeFile(const std::string& path) override;
  // Every program is taken to be there: the checker cannot see the cabinet's folder.
  bool FileExists(const std::string&) override { return true; }
  bool AppendToFile(const std::string&, const std::string&) override { return true; }
  bool WriteWholeFile(const std::string&, const std::string&) override { return true; }

  // --- Dialogs: messages are written down; nothing is shown ---
  void ShowMessage(const std::string& text, MessageKind kind) override;
  void ShowCurtain(bool) override {}

  // --- Text ---
  std::string UpperAnsi(const std::string& text) override;

  // --- The pointer: never moved, the cursors never touched ---
  std::optional<ScreenPoint> PointerPosition() override { return std::nullopt; }
  bool MovePointer(ScreenPoint) override { return true; }
  ScreenRect MonitorOf(WindowHandle) override { return {}; }
  int BlankSystemCursors() override { return 0; }
  bool RestoreSystemCursors() override { return true; }
  bool MarkCursorsBlank(bool) override { return true; }
  bool CursorsMarkedBlank() override { return false; }

 private:
  std::string argumentText_;
  std::string programDir_;
  std::string configFile_;
  FileReader reader_;
  std::function<void(const PlatformEvent&)> eventHandler_;
  WindowHandle foreground_ = kFrontEndWindow;
  bool quitPosted_ = false;
  std::uint64_t now_ = 0;
};

// The pads of a dry run: none is connected, so the exit button never comes.
class NoPads : public PadOps {
 public:
  bool ReadJoystick(std::uint32_t, JoyInfo&) override { return false; }
  bool ReadXInput(std::uint32_t, std::uint16_t&) override { return false; }
};

}  // namespace ruskel::check
