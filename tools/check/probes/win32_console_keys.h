// Key presses on ruskel-check's console, read without waiting.
#pragma once

#include <windows.h>

namespace ruskel {

class ConsoleKeys {
 public:
  // While it lives, Ctrl+C is a key like any other: it lists the windows at
  // once and the emulator is still closed, rather than left running.
  ConsoleKeys();
  ~ConsoleKeys();
  ConsoleKeys(const ConsoleKeys&) = delete;
  ConsoleKeys& operator=(const ConsoleKeys&) = delete;

  // A key went down since the last call; never true without a console (input
  // from a pipe or a file).
  bool Pressed();

 private:
  HANDLE input_ = nullptr;
  DWORD mode_ = 0;
  bool console_ = false;
};

}  // namespace ruskel
