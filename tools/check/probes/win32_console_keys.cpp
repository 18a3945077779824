#include "tools/check/probes/win32_console_keys.h"

namespace ruskel {

ConsoleKeys::ConsoleKeys() : input_(GetStdHandle(STD_INPUT_HANDLE)) {
  console_ = input_ != nullptr && input_ != INVALID_HANDLE_VALUE && GetConsoleMode(input_, &mode_);
  if (!console_) return;
  SetConsoleMode(input_, mode_ & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT));
  FlushConsoleInputBuffer(input_);  // a key typed before does not count
}

ConsoleKeys::~ConsoleKeys() {
  if (console_) SetConsoleMode(input_, mode_);
}

bool ConsoleKeys::Pressed() {
  if (!console_) return false;
  bool pressed = false;
  DWORD waiting = 0;
  while (GetNumberOfConsoleInputEvents(input_, &waiting) && waiting > 0) {
    INPUT_RECORD records[16];
    DWORD read = 0;
    if (!ReadConsoleInputA(input_, records, 16, &read) || read == 0) break;
    for (DWORD i = 0; i < read; ++i) {
      if (records[i].EventType == KEY_EVENT && records[i].Event.KeyEvent.bKeyDown) pressed = true;
    }
  }
  return pressed;
}

}  // namespace ruskel
