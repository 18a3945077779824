// Keystroke sequences: turned into strokes, and strokes sent as synthetic key
// events with the scan code the options ask for.
#pragma once

#include <vector>

#include "core/mainmod.h"

namespace ruskel {

struct KeyStroke {
  std::uint8_t virtualKey = 0;
  bool down = true;
};

// The strokes a sequence types, in order: its "down" and "up" steps up to the
// first empty key. A key that is not a code from 0 to 255 is fatal.
std::vector<KeyStroke> StrokesOf(Mainmod& m, const KeySequence& sequence);

// One key event: the virtual-key code, and with scancodes on or strict its
// scan code and the extended flag of the E0 keys.
void SendStroke(Mainmod& m, KeyStroke stroke);

// Key-ups for every key ruskel has pressed and not released, logged; for
// every way a run ends, so that no key is left held for the next program.
void ReleaseHeldKeys(Mainmod& m);

// A whole sequence back to back.
void PlaySequence(Mainmod& m, const KeySequence& sequence);

}  // namespace ruskel
