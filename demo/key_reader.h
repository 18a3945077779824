// A way of reading the keyboard. Each reader reports the keys it recognised, with the scan code
// behind them, to one handler; the demo logs them and moves its menu.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "demo/demo_options.h"
#include "demo/scan_codes.h"

namespace ruskel::demo {

using KeyHandler = std::function<void(bool down, const KeyId& key)>;

class KeyReader {
 public:
  virtual ~KeyReader() = default;
  // Called once the main window exists; false (and the reason in `error`) when the reader
  // could not be set up.
  virtual bool Attach(HWND window, std::string& error) = 0;
  // Called once per frame.
  virtual void Poll() {}
  // Called for every message of the main window before it is handled.
  virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)message;
    (void)wParam;
    (void)lParam;
  }
};

std::unique_ptr<KeyReader> MakeMessageReader(KeyHandler handler);
std::unique_ptr<KeyReader> MakeAsyncStateReader(KeyHandler handler);
std::unique_ptr<KeyReader> MakeThreadStateReader(KeyHandler handler);
std::unique_ptr<KeyReader> MakeDirectInputReader(KeyHandler handler, bool buffered);
std::unique_ptr<KeyReader> MakeRawInputReader(KeyHandler handler);

std::unique_ptr<KeyReader> MakeKeyReader(InputMode mode, KeyHandler handler);

}  // namespace ruskel::demo
