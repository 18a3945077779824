#include "core/command_line.h"

#include <algorithm>

#include "core/number.h"
#include "core/text.h"

namespace ruskel {

void ParseArgs(RunState& state, std::string text) {
  std::replace(text.begin(), text.end(), '/', '-');
  if (text.empty() || text.front() != '-') text.insert(text.begin(), '-');

  for (const std::string& piece : SplitAll(text, '-')) {
    const std::string marker = UpperAscii(Left(piece, 4));
    if (marker == "KEYX") {
      state.ExitKeyText = Trim(piece.substr(4));
    } else if (marker == "BUTX") {
      state.ExitButtonText = Trim(piece.substr(4));
    } else {
      state.RomName = Trim(piece);
    }
  }

  if (state.ExitKeyText.empty()) {
    state.ExitKey = kDefaultExitKey;
  } else if (auto key = ReadNumber(state.ExitKeyText); key && ToInt32(*key)) {
    state.ExitKey = *key;
  }
  // else: not a usable key code; ExitKey keeps its value (0 matches no key).

  // 0, a value that rounds to 0 and one beyond 32 bits would all equal an idle
  // joystick's mask and end the run at once, so they mean "no button" too.
  state.ExitButton = kNoExitButton;
  if (auto button = ReadNumber(state.ExitButtonText)) {
    auto mask = ToInt32(*button);
    if (mask && *mask != 0) state.ExitButton = *mask;
  }

  // Front ends quote paths with blanks; a file name cannot hold a quote.
  std::erase(state.RomName, '"');
  state.RomName = Trim(SplitAll(state.RomName, '\\').back());
}

}  // namespace ruskel
