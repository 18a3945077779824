// PlatformOps on Windows: user32, kernel32 and winmm, nothing else.
#pragma once

#include "platform/platform_ops.h"

namespace ruskel {

class Win32Platform : public PlatformOps {
 public:
  std::string ArgumentText() override;
  std::string ProgramDirectory() override;
  FileReadResult ReadWholeFile(const std::string& path) override;
  ProcessStartResult StartProcess(const ProcessStart& start) override;
  void ShowMessage(const std::string& text, MessageKind kind) override;
  [[noreturn]] void EndProcess(int exitCode) override;
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

  // Delivers messages (and so timer ticks) until the process ends.
  int RunMessageLoop();

 private:
  void* timerWindow_ = nullptr;  // HWND, kept out of this header
  std::uint64_t joystickRetryAtMs_ = 0;
  std::int32_t threadStateKey_ = -1;
  std::uint16_t threadState_ = 0;
  std::uint64_t threadStateRefreshAtMs_ = 0;
};

// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(unsigned long errorCode);

}  // namespace ruskel
