// How long each key was held, from the main window's key messages whatever the reader: the time
// a message carries is when the key event was made, so the hold measured here is the one the
// sender gave the key, not the one a reader happened to see.
#pragma once

#include <windows.h>

namespace ruskel::demo {

// Called often (every turn of the message loop) to keep the tick's place on the log's clock.
void SampleTick();

// Logs `HOLD vk=N ms=<hold> down=<epoch ms> up=<epoch ms>` at each key-up that follows a key-down.
void NoteKeyMessage(UINT message, WPARAM wParam);

}  // namespace ruskel::demo
