#include "demo/key_reader.h"

#include <utility>

namespace ruskel::demo {

std::unique_ptr<KeyReader> MakeKeyReader(InputMode mode, KeyHandler handler) {
  switch (mode) {
    case InputMode::kAsync:
      return MakeAsyncStateReader(std::move(handler));
    case InputMode::kKeyboardState:
      return MakeThreadStateReader(std::move(handler));
    case InputMode::kDInput:
      return MakeDirectInputReader(std::move(handler), false);
    case InputMode::kDInputBuffered:
      return MakeDirectInputReader(std::move(handler), true);
    case InputMode::kRawInput:
      return MakeRawInputReader(std::move(handler));
    case InputMode::kMessages:
      break;
  }
  return MakeMessageReader(std::move(handler));
}

}  // namespace ruskel::demo
