// The keyboard: synthetic key events for the emulator, and the exit key's state.
#pragma once

#include <cstdint>

namespace ruskel {

inline constexpr std::uint32_t kKeyEventExtendedKey = 0x1;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x2;
inline constexpr std::uint32_t kKeyEventScanCode = 0x8;

class KeyboardOps {
 public:
  virtual ~KeyboardOps() = default;

  virtual void SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                            std::uint32_t flags) = 0;
  virtual std::uint8_t ScanCodeOf(std::uint8_t virtualKey) = 0;  // 0 when the key has none
  // KeyDown/KeyUp events while on. Keys sent through SendKeyEvent never come back as events.
  virtual void WatchKeys(bool on) = 0;
  virtual bool IsKeyDown(std::int32_t virtualKey) = 0;  // held right now
};

}  // namespace ruskel
