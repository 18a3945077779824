// The black curtain over the desktop while the emulator starts and the menu
// walk runs (curtain=on): raised before the emulator starts, lifted once.
#pragma once

#include "core/mainmod.h"

namespace ruskel {

// Raises the curtain when the options ask for it.
void RaiseCurtain(Mainmod& m);
// Lifts it when it is up; nothing otherwise.
void LiftCurtain(Mainmod& m);

}  // namespace ruskel
