// The rom's place in the game list and the keys that walk the menu to it.
#pragma once

#include <string>
#include <vector>

#include "core/key_sequence.h"
#include "core/mainmod.h"
#include "core/walk_plan.h"

namespace ruskel {

// The rom name as the lookup takes it: a trailing ".zip" (any case) cut off.
std::string LookupName(const std::string& rom);

// The slot the lookup finds for rom: the first listed name equal to its
// LookupName, both sides upper-cased as the system does, before any empty
// slot; -1 when there is none.
int GameSlot(const RunState& s, TextOps& text, const std::string& rom);

// Cuts a trailing ".zip" off RomName and sets GameIndex to the rom's slot in
// the game list, or -1.
void FindGame(Mainmod& m);

// The lines of the menu: the games up to the closing tag "{/gamelist}".
int GameListLength(const RunState& s);

// The walk to GameIndex that the walk options allow; without them the select
// sequence GameIndex times.
WalkPlan PlanWalkTo(const RunState& s);

// What one step of each kind of the walk types.
WalkKeys WalkKeysOf(Mainmod& m);

// What is typed once the game is found: the walk, then the enter sequence.
std::vector<KeyStroke> SelectAndEnterStrokes(Mainmod& m);

}  // namespace ruskel
