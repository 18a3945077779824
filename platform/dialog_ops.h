// What ruskel itself shows: message boxes and the black curtain.
#pragma once

#include <string>

namespace ruskel {

enum class MessageKind { Information, Error };

class DialogOps {
 public:
  virtual ~DialogOps() = default;

  virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;  // OK button only
  // A black topmost window over the primary monitor that never takes focus or input.
  virtual void ShowCurtain(bool shown) = 0;
};

}  // namespace ruskel
