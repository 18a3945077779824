// What ruskel-check asks of the machine it runs on, answered as plain facts,
// so that the report built from them needs no Windows and can be tested.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ruskel {

struct WindowsAnswer {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::string servicePack;      // empty: none
  bool windows64 = false;       // the system itself is 64-bit
  bool underWow64 = false;      // this 32-bit program runs on 64-bit Windows
  std::uint32_t buildBits = 0;  // this program's own build: 32 or 64
  std::string wineVersion;      // empty: real Windows
};

// Whether ruskel can hold the emulator in a job that ends it with ruskel, as
// killwithruskel=on needs: tried on a suspended copy of this program.
struct JobAnswer {
  bool inJob = false;                 // this process already runs inside a job
  bool outerAllowsBreakaway = false;  // that job lets children leave it
  bool created = false;               // a job with kill-on-close could be made
  bool testStarted = false;           // the suspended test process started
  bool assigned = false;              // and could be put into that job
  bool endedWithJob = false;          // closing the job ended it
  std::string failure;                // the system's reason at the first step that failed
};

// One key typed with ruskel's mark while a test window is in front, as seen
// by a hidden window that watches the keyboard through raw input.
struct RawInputAnswer {
  bool registered = false;         // the keyboard could be watched (RIDEV_INPUTSINK)
  bool testWindowInFront = false;  // the test window reached the front
  bool sent = false;               // the system took the key
  std::uint16_t sentKey = 0;       // its virtual-key code
  bool arrived = false;            // raw input delivered its key-down
  bool markCameBack = false;       // with ruskel's mark in ExtraInformation
  bool testWindowGotKey = false;   // the window in front got it as a key message
  std::uint16_t vkey = 0;          // what raw input reported
  std::uint16_t makeCode = 0;
  std::uint16_t flags = 0;
  std::uint32_t extraInformation = 0;
  std::string failure;  // the system's reason when a step failed
};

struct WinmmPad {
  std::uint32_t id = 0;
  std::uint32_t buttonCount = 0;
  std::uint32_t buttons = 0;  // held now, bit 0 = button 1
};

struct XInputPad {
  std::uint32_t slot = 0;
  std::uint16_t buttons = 0;  // XINPUT_GAMEPAD wButtons held now
};

struct PadsAnswer {
  std::uint32_t winmmIds = 0;  // joystick ids the driver offers
  std::vector<WinmmPad> winmm;
  std::string xinputDll;  // the XInput DLL that loaded; empty: none
  std::vector<XInputPad> xinput;
};

// What makes Windows start a program elevated.
struct ProgramAnswer {
  std::string layersUser;               // compatibility flags for this user; empty: none
  std::string layersMachine;            // for every user
  bool readable = false;                // the program could be opened for its resources
  std::optional<std::string> manifest;  // its embedded manifest, when it has one
};

class SystemProbe {
 public:
  virtual ~SystemProbe() = default;

  virtual WindowsAnswer Windows() = 0;
  virtual JobAnswer Job() = 0;
  virtual RawInputAnswer RawInput() = 0;
  // Each call reads the pads afresh.
  virtual PadsAnswer Pads() = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual ProgramAnswer Program(const std::string& path) = 0;
  // The integrity level of this process as its RID (0x2000 medium, ...).
  virtual std::optional<std::uint32_t> IntegrityLevel() = 0;

  // For watching pads live.
  virtual bool EscapeDown() = 0;
  virtual void Wait(std::uint32_t ms) = 0;
};

}  // namespace ruskel
