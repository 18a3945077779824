#include "core/game_selection.h"

#include "core/text.h"

namespace ruskel {

void FindGame(Mainmod& m) {
  RunState& s = m.State;
  if (s.RomName.size() >= 4 && UpperAscii(s.RomName.substr(s.RomName.size() - 4)) == ".ZIP") {
    s.RomName.erase(s.RomName.size() - 4);
  }
  s.GameIndex = -1;
  // The system's upper-casing, so that accented names match in any case too.
  const std::string wanted = m.Os.text.UpperAnsi(s.RomName);
  // A full list (400 names, the closing tag in the last slot) ends at its
  // last slot: an unlisted rom is then simply not found.
  for (std::size_t i = 0; i < s.GameList.size(); ++i) {
    const std::string& name = s.GameList[i];
    if (name.empty()) break;
    if (m.Os.text.UpperAnsi(name) == wanted) {
      s.GameIndex = static_cast<std::int16_t>(i);
      return;
    }
  }
}

std::vector<KeyStroke> SelectAndEnterStrokes(Mainmod& m) {
  std::vector<KeyStroke> strokes;
  const std::vector<KeyStroke> select = StrokesOf(m, m.State.SelectSeq);
  for (int i = 1; i <= m.State.GameIndex; ++i)
    strokes.insert(strokes.end(), select.begin(), select.end());
  const std::vector<KeyStroke> enter = StrokesOf(m, m.State.EnterSeq);
  strokes.insert(strokes.end(), enter.begin(), enter.end());
  return strokes;
}

}  // namespace ruskel
