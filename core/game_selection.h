// The rom's place in the game list and the keys that walk the menu to it.
#pragma once

#include <vector>

#include "core/key_sequence.h"
#include "core/mainmod.h"

namespace ruskel {

// Cuts a trailing ".zip" off RomName and sets GameIndex to the rom's slot in
// the game list (both sides upper-cased as the system does), or -1.
void FindGame(Mainmod& m);

// What is typed once the game is found: the select sequence GameIndex times,
// then the enter sequence.
std::vector<KeyStroke> SelectAndEnterStrokes(Mainmod& m);

}  // namespace ruskel
