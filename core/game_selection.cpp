#include "core/game_selection.h"

#include "core/text.h"

namespace ruskel {

std::string LookupName(const std::string& rom) {
  if (rom.size() >= 4 && UpperAscii(rom.substr(rom.size() - 4)) == ".ZIP") {
    return rom.substr(0, rom.size() - 4);
  }
  return rom;
}

int GameSlot(const RunState& s, TextOps& text, const std::string& rom) {
  // The system's upper-casing, so that accented names match in any case too.
  const std::string wanted = text.UpperAnsi(LookupName(rom));
  // A full list (400 names, the closing tag in the last slot) ends at its
  // last slot: an unlisted rom is then simply not found.
  for (std::size_t i = 0; i < s.GameList.size(); ++i) {
    const std::string& name = s.GameList[i];
    if (name.empty()) break;
    if (text.UpperAnsi(name) == wanted) return static_cast<int>(i);
  }
  return -1;
}

void FindGame(Mainmod& m) {
  RunState& s = m.State;
  // GameSlot cuts the ".zip" itself: the name it gets must still have it, or
  // "mygame.zip.zip" would lose both.
  s.GameIndex = static_cast<std::int16_t>(GameSlot(s, m.Os.text, s.RomName));
  s.RomName = LookupName(s.RomName);
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
