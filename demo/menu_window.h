// The demo emulator's windows: the game menu (moved by Up/Down, started by Return) and, on
// request, a second top-level window. Closing follows the options: WM_CLOSE may be ignored.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "demo/demo_options.h"
#include "demo/key_reader.h"

namespace ruskel::demo {

struct MenuSetup {
  const Options* options = nullptr;
  std::vector<std::string> games;
  KeyReader* reader = nullptr;
};

// Creates the menu window, not shown yet; nullptr on failure.
HWND CreateMenuWindows(HINSTANCE instance, MenuSetup setup);

// Shows the windows as the options say (and opens the second one). Called once the key reader
// is ready, so that no key typed into a window that is up is lost.
void ShowMenuWindows(HINSTANCE instance, int showCommand);

// A recognised key: moves the selection or starts the game.
void MenuKey(bool down, int vk);

// Ends the emulator the way its own menu would: destroys its windows, which posts WM_QUIT.
void DestroyMenuWindows();

// True once the main window is gone: the WM_QUIT that follows is our own and is never ignored.
bool MenuWindowGone();

// Why the windows went away ("WM_CLOSE"), or empty while they are up.
const std::string& MenuCloseReason();

}  // namespace ruskel::demo
