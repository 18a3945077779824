// Plays one keystroke sequence as synthetic key events, back to back.
#pragma once

#include "core/mainmod.h"

namespace ruskel {

void PlaySequence(Mainmod& m, const KeySequence& sequence);

}  // namespace ruskel
