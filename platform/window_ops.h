// Top-level windows: finding the emulator's, bringing it forward, asking it to quit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/process_ops.h"

namespace ruskel {

// Window handles are 32-bit values on every Windows (user handles are
// sign-extended 32-bit numbers even in 64-bit processes); 0 means no window.
using WindowHandle = std::uint32_t;

inline constexpr std::uint32_t kWmClose = 0x10;
inline constexpr std::uint32_t kWmQuit = 0x12;

// A window's outer size in pixels, frame included.
struct WindowSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A top-level window as a lookup sees it.
struct WindowInfo {
  WindowHandle handle = 0;
  ProcessId processId = 0;
  bool visible = false;
};

class WindowOps {
 public:
  virtual ~WindowOps() = default;

  // Every top-level window, in z-order. A lookup reads of each only what it
  // needs, through the calls below: each reading of another program's window
  // costs a trip to the window server under Wine.
  virtual std::vector<WindowHandle> TopWindows() = 0;
  // The top-level windows that belong to a process.
  virtual std::vector<WindowHandle> TopWindowsOf(ProcessId process) = 0;
  virtual ProcessId WindowProcess(WindowHandle window) = 0;  // 0 when the window is gone
  virtual WindowHandle ForegroundWindow() = 0;
  virtual std::string WindowTitle(WindowHandle window) = 0;  // empty for a window without one
  virtual std::string WindowClass(WindowHandle window) = 0;  // empty when the window is gone
  // The window that owns this one (a dialog's, a tool window's); 0 for none.
  virtual WindowHandle OwnerWindow(WindowHandle window) = 0;
  // Restores a minimised window and asks for the front, harder each time it is
  // refused; true when the window is in front afterwards.
  virtual bool BringToFront(WindowHandle window) = 0;
  // How often BringToFront has had to ask harder than SetForegroundWindow
  // (each time flashes a task bar button and resets shared key state).
  virtual std::uint32_t StrongFrontClimbs() = 0;
  // Lets the process take the front by itself (AllowSetForegroundWindow).
  virtual void AllowForeground(ProcessId process) = 0;
  // The process of the desktop shell's window (explorer.exe); 0 when there is none.
  virtual ProcessId ShellProcess() = 0;
  // True when the window's thread has not taken a message for some seconds
  // (Windows shows its ghost window then): a call that waits on that thread
  // would wait for good.
  virtual bool IsHung(WindowHandle window) = 0;
  // Returns once the window's thread has handled every message sent before
  // (its activation among them), or after timeoutMs; false if it did not answer.
  virtual bool WaitUntilWindowResponds(WindowHandle window, std::uint32_t timeoutMs) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;
  virtual WindowSize SizeOf(WindowHandle window) = 0;  // 0 x 0 when the window is gone
  // Empty when posted; the system's reason otherwise.
  virtual std::string PostWindowMessage(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // WindowsChanged events while on.
  virtual void WatchWindows(bool on) = 0;
  // The colour (0xRRGGBB) the screen shows at a point of the window's client
  // area, read from the screen as drawn; none when the window has gone or the
  // point lies off every monitor.
  virtual std::optional<std::uint32_t> ClientPixel(WindowHandle window, std::int32_t x,
                                                   std::int32_t y) = 0;
};

}  // namespace ruskel
