// The table of operating-system operations the wrapper uses. Everything above
// platform/ reaches Windows (or the test fake) only through this interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ruskel {

// Window handles are 32-bit values on every Windows (user handles are
// sign-extended 32-bit numbers even in 64-bit processes); 0 means no window.
using WindowHandle = std::uint32_t;
using ProcessId = std::uint32_t;  // 0 means no process

// What a joystick reading fills in: positions and the button mask (bit n-1
// for button n, up to 32 buttons).
struct JoyInfo {
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::uint32_t z = 0;
  std::uint32_t buttons = 0;
};

struct ProcessStart {
  std::string applicationName;  // the program to run; empty: taken from the command line
  std::string commandLine;
  std::string workingDirectory;
  bool inheritHandles = false;
  std::uint32_t creationFlags = 0;
  bool killWithRuskel = false;  // end the process too if ruskel is ended by force
};

struct ProcessStartResult {
  bool started = false;
  ProcessId processId = 0;
  std::string error;  // the system's reason when not started
  // With killWithRuskel: why the process could not be put in a job that ends
  // it with ruskel (empty when it was).
  std::string jobError;
};

struct FileReadResult {
  bool ok = false;
  std::string bytes;
  std::string error;  // the system's reason when not ok
};

// A top-level window as a lookup sees it.
struct WindowInfo {
  WindowHandle handle = 0;
  ProcessId processId = 0;
  bool visible = false;
};

struct KeyLook {
  bool down = false;
  bool pressedSinceLastLook = false;
};

enum class MessageKind { Information, Error };

// What wakes the driver. Delivered on the one thread, one at a time, never
// while a previous event is being handled.
enum class EventKind {
  Timer,           // timerId
  KeyDown,         // virtualKey: a key pressed on any keyboard or sent by another program
  KeyUp,           // virtualKey
  WindowsChanged,  // a top-level window was created, shown or renamed somewhere
  ProcessEnded,    // processId: a process given to WatchProcess has ended
};

struct PlatformEvent {
  EventKind kind = EventKind::Timer;
  int timerId = 0;
  std::int32_t virtualKey = 0;
  ProcessId processId = 0;
};

inline constexpr std::uint32_t kWmClose = 0x10;
inline constexpr std::uint32_t kWmQuit = 0x12;
inline constexpr std::uint32_t kKeyEventExtendedKey = 0x1;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x2;
inline constexpr std::uint32_t kKeyEventScanCode = 0x8;
inline constexpr std::uint32_t kNormalPriorityClass = 0x20;

class PlatformOps {
 public:
  virtual ~PlatformOps() = default;

  // Process and files.
  virtual std::string ArgumentText() = 0;      // command line after the program's name
  virtual std::string ProgramDirectory() = 0;  // no trailing backslash
  virtual FileReadResult ReadWholeFile(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;  // a file, not a folder
  // Appends to a file, creating it; false when it cannot be written.
  virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;
  // Replaces a file's whole content; false when it cannot be written.
  virtual bool WriteWholeFile(const std::string& path, const std::string& bytes) = 0;
  virtual ProcessStartResult StartProcess(const ProcessStart& start) = 0;
  virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;  // OK button only
  // Ends ruskel. A process started with killWithRuskel is left running.
  [[noreturn]] virtual void EndProcess(int exitCode) = 0;

  // The emulator's processes.
  virtual bool IsProcessRunning(ProcessId process) = 0;
  // Delivers one ProcessEnded event when the process ends (at once if it has
  // already ended). False when the process cannot be watched.
  virtual bool WatchProcess(ProcessId process) = 0;
  // True when process is ancestor itself or was started by it, directly or
  // through processes in between.
  virtual bool IsDescendantOf(ProcessId process, ProcessId ancestor) = 0;
  // Ends a process and every process it started, directly or through
  // processes in between; false when the process itself could not be ended.
  virtual bool TerminateTree(ProcessId process) = 0;

  // The invisible host window; events arrive through the event handler.
  virtual void CreateTimerWindow() = 0;
  virtual void SetEventHandler(std::function<void(const PlatformEvent&)> handler) = 0;
  virtual void StartTimer(int timerId, std::uint32_t intervalMs) = 0;
  virtual void StopTimer(int timerId) = 0;
  virtual std::uint64_t NowMs() = 0;  // monotonic milliseconds

  // Windows.
  // Every top-level window whose whole title is title (any case), in z-order.
  virtual std::vector<WindowInfo> TopWindowsTitled(const std::string& title) = 0;
  // The top-level windows that belong to a process.
  virtual std::vector<WindowHandle> TopWindowsOf(ProcessId process) = 0;
  virtual ProcessId WindowProcess(WindowHandle window) = 0;  // 0 when the window is gone
  virtual WindowHandle ForegroundWindow() = 0;
  virtual void BringToFront(WindowHandle window) = 0;
  // Returns once the window's thread has handled every message sent before
  // (its activation among them), or after timeoutMs; false if it did not answer.
  virtual bool WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;
  virtual void PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) = 0;
  // WindowsChanged events while on.
  virtual void WatchWindows(bool on) = 0;
  // A black topmost window over the primary monitor that never takes focus or input.
  virtual void ShowCurtain(bool shown) = 0;

  // Keyboard.
  virtual void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                            std::uint32_t flags) = 0;
  virtual std::uint8_t ScanCodeOf(std::uint8_t virtualKey) = 0;  // 0 when the key has none
  // KeyDown/KeyUp events while on. Keys sent through SendKeyEvent never come back as events.
  virtual void WatchKeys(bool on) = 0;
  // Mouse buttons as KeyDown/KeyUp events of their virtual-key codes (1, 2,
  // 4, 5, 6) while on: for an exit key that is a mouse button.
  virtual void WatchMouseButtons(bool on) = 0;
  // A look at a key where no key events may come: whether it is down now, and
  // whether it went down since the previous look (a press between two looks).
  virtual KeyLook LookAtKey(std::int32_t virtualKey) = 0;

  // Pads. Both return false when there is no such pad; info/buttons are then untouched.
  // A missing pad is probed again only every few seconds: probing is slow.
  virtual bool ReadJoystick(std::uint32_t joystickId, JoyInfo& info) = 0;  // winmm, 32 buttons
  virtual bool ReadXInput(std::uint32_t userIndex, std::uint16_t& buttons) = 0;  // XINPUT_GAMEPAD

  // Upper-cases text as the system does for its ANSI code page.
  virtual std::string UpperAnsi(const std::string& text) = 0;
};

}  // namespace ruskel
