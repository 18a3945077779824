#include "core/command_line.h"

#include <algorithm>

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

  state.ExitKey = ExitKeyOf(state.ExitKeyText);
  state.ExitButton = ExitButtonOf(state.ExitButtonText);

  // Front ends quote paths with blanks; a file name cannot hold a quote.
  std::erase(state.RomName, '"');
  state.RomName = Trim(SplitAll(state.RomName, '\\').back());
}

}  // namespace ruskel
