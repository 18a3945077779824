// The table of operating-system operations the wrapper uses. Everything above
// platform/ reaches Windows (or the test fake) only through this interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ruskel {

// Window handles are 32-bit values on every Windows (user handles are
// sign-extended 32-bit numbers even in 64-bit processes); 0 means no window.
using WindowHandle = std::uint32_t;

// What joyGetPos fills in: positions and the button mask (bits 1, 2, 4, 8).
struct JoyInfo {
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::uint32_t z = 0;
  std::uint32_t buttons = 0;
};

struct ProcessStart {
  std::string commandLine;
  std::string workingDirectory;
  bool inheritHandles = false;
  std::uint32_t creationFlags = 0;
};

struct ProcessStartResult {
  bool started = false;
  std::string error;  // the system's reason when not started
};

struct FileReadResult {
  bool ok = false;
  std::string bytes;
  std::string error;  // the system's reason when not ok
};

enum class MessageKind { Information, Error };

inline constexpr std::uint32_t kWmQuit = 0x12;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x2;
inline constexpr std::uint32_t kNormalPriorityClass = 0x20;

class PlatformOps {
 public:
  virtual ~PlatformOps() = default;

  // Process and files.
  virtual std::string ArgumentText() = 0;      // command line after the program's name
  virtual std::string ProgramDirectory() = 0;  // no trailing backslash
  virtual FileReadResult ReadWholeFile(const std::string& path) = 0;
  virtual ProcessStartResult StartProcess(const ProcessStart& start) = 0;
  virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;  // OK button only
  [[noreturn]] virtual void EndProcess(int exitCode) = 0;

  // Text: upper-case as the system does for its ANSI code page (the game
  // lookup compares names this way).
  virtual std::string UpperAnsi(const std::string& text) = 0;

  // The invisible timer window and its timers; ticks arrive through the tick
  // handler on the one thread, never while a previous tick is being handled.
  virtual void CreateTimerWindow() = 0;
  virtual void SetTickHandler(std::function<void(int timerId)> handler) = 0;
  virtual void StartTimer(int timerId, std::uint32_t intervalMs) = 0;
  virtual void StopTimer(int timerId) = 0;
  virtual std::uint64_t NowMs() = 0;  // monotonic milliseconds

  // Windows and input.
  virtual WindowHandle FindTopWindow(const std::string& title) = 0;  // whole title, any case
  virtual WindowHandle ForegroundWindow() = 0;
  virtual void BringToFront(WindowHandle window) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;
  virtual void PostWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) = 0;
  virtual void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                            std::uintptr_t extraInfo) = 0;
  // Bit 0x1000 is set while the key is held (0xFF80/0xFF81 then, 0/1 otherwise).
  virtual std::uint16_t KeyState(std::int32_t virtualKey) = 0;
  // False when the joystick cannot be read; info is then untouched.
  virtual bool ReadJoystick(std::uint32_t joystickId, JoyInfo& info) = 0;
};

}  // namespace ruskel
