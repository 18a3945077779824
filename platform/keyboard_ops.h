// The keyboard: synthetic key events for the emulator, and the exit key (a mouse
// button too).
#pragma once

#include <cstdint>
#include <string>

namespace ruskel {

inline constexpr std::uint32_t kKeyEventExtendedKey = 0x1;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x2;
inline constexpr std::uint32_t kKeyEventScanCode = 0x8;

// The mouse buttons by their virtual-key codes: left, right, middle and the
// two side buttons.
inline constexpr std::int32_t kMouseButtonKeys[] = {1, 2, 4, 5, 6};

struct KeyLook {
  bool down = false;
  bool pressedSinceLastLook = false;
};

class KeyboardOps {
 public:
  virtual ~KeyboardOps() = default;

  // False when the system did not take the event (blocked, or a desktop
  // that refuses input).
  virtual bool SendKeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                            std::uint32_t flags) = 0;
  virtual std::uint8_t ScanCodeOf(std::uint8_t virtualKey) = 0;  // 0 when the key has none
  // KeyDown/KeyUp events while on. Keys sent through SendKeyEvent never come back as events.
  // Empty when done, else the system's reason.
  virtual std::string WatchKeys(bool on) = 0;
  // Mouse buttons as KeyDown/KeyUp events of their virtual-key codes (1, 2,
  // 4, 5, 6) while on: for an exit key that is a mouse button. Empty when done,
  // else the system's reason.
  virtual std::string WatchMouseButtons(bool on) = 0;
  // A look at a key where no key events may come: whether it is down now, and
  // whether it went down since the previous look (a press between two looks).
  virtual KeyLook LookAtKey(std::int32_t virtualKey) = 0;
  // While on, key events ruskel did not send reach no program, except those
  // of passKey (the exit key; 0: none). Off ends it at once; so does the
  // end of the process, however it ends. Empty when done, else the system's
  // reason.
  virtual std::string HoldBackKeys(bool on, std::int32_t passKey) = 0;
  // Presses held back since the hold last began.
  virtual std::uint32_t KeysHeldBack() = 0;
};

}  // namespace ruskel
