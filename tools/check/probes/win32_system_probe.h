// SystemProbe on Windows. Each answer is taken from the system as ruskel would
// meet it; nothing is changed on the machine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "tools/check/probes/system_probe.h"

namespace ruskel {

class Win32SystemProbe : public SystemProbe {
 public:
  Win32SystemProbe() = default;
  ~Win32SystemProbe() override;
  Win32SystemProbe(const Win32SystemProbe&) = delete;
  Win32SystemProbe& operator=(const Win32SystemProbe&) = delete;

  WindowsAnswer Windows() override;
  JobAnswer Job() override;
  RawInputAnswer RawInput() override;
  PadsAnswer Pads() override;
  bool FileExists(const std::string& path) override;
  ProgramAnswer Program(const std::string& path) override;
  std::optional<std::uint32_t> IntegrityLevel() override;
  bool EscapeDown() override;
  void Wait(std::uint32_t ms) override;

 private:
  void LoadXInput();

  // winmm: when a missing id is tried again, and each pad's button count.
  std::map<std::uint32_t, std::uint64_t> winmmRetryAtMs_;
  std::map<std::uint32_t, std::uint32_t> winmmButtonCounts_;
  bool xinputLoaded_ = false;
  HMODULE xinputModule_ = nullptr;
  FARPROC xinputGetState_ = nullptr;
  std::string xinputDll_;
  std::uint64_t xinputRetryAtMs_[4] = {0, 0, 0, 0};
};

// The full path of this program's own file.
std::string OwnProgramPath();

// A function the system may or may not have, looked up by name at run time.
template <typename Function>
Function SystemFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through void*: a FARPROC cast straight to another function type warns.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace ruskel
