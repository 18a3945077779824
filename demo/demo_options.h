// The demo emulator's command line.
#pragma once

#include <string>
#include <vector>

namespace ruskel::demo {

// The ways emulators read the keyboard; the demo can be told to use any one of them.
enum class InputMode { kMessages, kAsync, kKeyboardState, kDInput, kDInputBuffered, kRawInput };

const char* InputModeName(InputMode mode);

struct Options {
  std::string title;
  std::string secondTitle;
  // For the wrapper's window rules: a main window without a title, a text added to its title
  // once a game plays (as emulators that show the game's name do), and its class name.
  bool noTitle = false;
  std::string titleSuffix;
  // " - <game>" added to the title once a game plays.
  bool gameTitle = false;
  // The menu is ready only this long after the window shows (a splash); keys before are lost.
  int splashMs = 0;
  std::string windowClass;
  std::string gamesPath;
  std::string logPath;
  InputMode input = InputMode::kMessages;
  int showAfterMs = -1;
  int windowAfterMs = 0;  // loads this long before it creates any window
  int lifetimeMs = -1;
  int quitAfterMs = -1;
  bool noWindow = false;
  bool hidden = false;
  bool minimized = false;
  bool twoWindows = false;
  bool ignoreQuit = false;
  bool ignoreClose = false;
  // The window's thread stops for good at this many key presses (0: never), as a frozen
  // emulator does.
  int freezeAfterKeys = 0;
  // Menu moves: page keys of pageLines lines (0: none), and Up/Down wrapping
  // around the ends of the list.
  int pageLines = 0;
  int pageDownKey = 0x22;  // Page Down
  int pageUpKey = 0x21;    // Page Up
  bool wrap = false;
  bool launch = false;
  std::string launchArgs;  // the started copy's arguments, verbatim
  std::vector<std::string> unknown;
};

// `commandLine` is the raw command line: `--launch=` takes the rest of it unparsed, so the
// arguments handed on keep their quotes.
Options ParseOptions(int argc, char** argv, const std::string& commandLine,
                     const std::string& exeDir);

}  // namespace ruskel::demo
