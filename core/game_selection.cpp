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

int GameListLength(const RunState& s) {
  for (std::size_t i = 0; i < s.GameList.size(); ++i) {
    if (s.GameList[i] == "{/gamelist}") return static_cast<int>(i);
  }
  return static_cast<int>(s.GameList.size()) - 1;
}

WalkPlan PlanWalkTo(const RunState& s) {
  return PlanWalk(s.GameIndex, GameListLength(s), s.Options);
}

WalkKeys WalkKeysOf(Mainmod& m) {
  const RunOptions& o = m.State.Options;
  return {StrokesOf(m, m.State.SelectSeq), StrokesOf(m, m.State.EnterSeq), o.pagekey, o.pageupkey,
          o.wrapkey};
}

std::vector<KeyStroke> SelectAndEnterStrokes(Mainmod& m) {
  return WalkStrokes(PlanWalkTo(m.State), WalkKeysOf(m));
}

}  // namespace ruskel
