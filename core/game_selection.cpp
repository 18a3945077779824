#include "core/game_selection.h"

#include "core/emulator_window.h"
#include "core/fatal.h"
#include "core/key_sequence.h"
#include "core/text.h"

namespace ruskel {

void RunSequences(Mainmod& m) {
  PlaySequence(m, m.State.StartupSeq);
  FindGame(m);
  if (m.State.GameIndex == -1) EndRun(m, kExitRomNotListed);
  SendSelects(m);
  PlaySequence(m, m.State.EnterSeq);
}

void FindGame(Mainmod& m) {
  RunState& s = m.State;
  if (s.RomName.size() >= 4 && UpperAscii(s.RomName.substr(s.RomName.size() - 4)) == ".ZIP") {
    s.RomName.erase(s.RomName.size() - 4);
  }
  s.GameIndex = -1;
  // The system's upper-casing, so that accented names match in any case too.
  const std::string wanted = m.Os.UpperAnsi(s.RomName);
  // A full list (400 names, the closing tag in the last slot) ends at its
  // last slot: an unlisted rom is then simply not found.
  for (std::size_t i = 0; i < s.GameList.size(); ++i) {
    const std::string& name = s.GameList[i];
    if (name.empty()) break;
    if (m.Os.UpperAnsi(name) == wanted) {
      s.GameIndex = static_cast<std::int16_t>(i);
      return;
    }
  }
  CloseEmulator(m);
}

void SendSelects(Mainmod& m) {
  for (int i = 1; i <= m.State.GameIndex; ++i) PlaySequence(m, m.State.SelectSeq);
}

}  // namespace ruskel
