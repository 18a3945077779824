// Keystroke sequences: turned into strokes, and strokes sent as synthetic key
// events with the scan code the options ask for.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "core/mainmod.h"

namespace ruskel {

// One thing the walk does in turn: a key event, or a step (a wait or a click)
// in place of one.
struct KeyStroke {
  KeyStroke() = default;
  KeyStroke(std::uint8_t key, bool isDown) : virtualKey(key), down(isDown) {}
  explicit KeyStroke(WalkStep walkStep) : step(std::move(walkStep)) {}

  std::uint8_t virtualKey = 0;
  bool down = true;
  std::optional<WalkStep> step;  // set: this wait or click, no key event
};

// The strokes a sequence types, in order: its "down" and "up" steps and its
// waits and clicks, up to the first empty key. A key that is not a code from 0 to 255 is fatal.
std::vector<KeyStroke> StrokesOf(Mainmod& m, const KeySequence& sequence);

// One key event: the virtual-key code, and with scancodes on or strict its
// scan code and the extended flag of the E0 keys.
void SendStroke(Mainmod& m, KeyStroke stroke);

// Shift, Ctrl, Alt or a Windows key down in the system's state that the walk
// did not press (a panel button wired to one, held by a player) turns the
// stroke into a shortcut: Return into Alt+Return. Each is released before the
// stroke and logged; the walk's own modifiers and the exit key are left alone.
void ReleaseStrayModifiers(Mainmod& m, const KeyStroke& stroke);

// Key-ups for every key ruskel has pressed and not released, logged; for
// every way a run ends, so that no key is left held for the next program.
void ReleaseHeldKeys(Mainmod& m);

// A whole sequence's key events back to back; waits and clicks are the walk's.
void PlaySequence(Mainmod& m, const KeySequence& sequence);

}  // namespace ruskel
