// The keyboard dialogue once the emulator window is in front: startup
// sequence, finding the rom in the game list, selects, enter.
#pragma once

#include "core/mainmod.h"

namespace ruskel {

void RunSequences(Mainmod& m);
void FindGame(Mainmod& m);
void SendSelects(Mainmod& m);

}  // namespace ruskel
