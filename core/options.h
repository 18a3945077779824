// The {options} section of lconfig.ini: every tuning of a run, one row each
// in one table. Adding an option is a field here and one row in options.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cursor_ops.h"

namespace ruskel {

enum class ScanCodes { Off, On, Strict };
enum class JoystickChoice { First, Any };
enum class CursorMode { Off, Park, Hide };
// How the title line of {handles} picks the emulator's window: the whole
// title, its start, a part of it, or no title at all but the emulator's own
// first visible window.
enum class MatchRule { Title, Prefix, Contains, Own };

struct RunOptions {
  ScanCodes scancodes = ScanCodes::On;
  std::uint32_t keydelay = 0;    // ms after every down and up step
  std::uint32_t startdelay = 0;  // ms between the window in front and the first key
  JoystickChoice joystick = JoystickChoice::First;
  std::uint32_t exithold = 0;      // ms the exit key or button must be held
  bool follow = true;              // end when the emulator ends by itself
  std::uint32_t closewait = 3000;  // ms to wait for the emulator to quit
  bool terminate = false;          // end the emulator by force as the last resort
  bool killwithruskel = false;     // end the emulator when ruskel is ended by force
  std::string log;                 // run log file; empty: none
  bool curtain = false;            // black screen over the menu walk
  // The menu walk's shortcuts (0: no such key): a key that moves pagesize
  // lines down, one that moves one line up in a menu that wraps from the top
  // to the bottom, and one that moves pagesize lines up.
  std::uint8_t pagekey = 0;
  std::uint32_t pagesize = 0;
  std::uint8_t wrapkey = 0;
  std::uint8_t pageupkey = 0;
  std::uint32_t focuswait = 0;  // ms the emulator may stay out of front mid-walk; 0: no limit
  std::uint32_t waitlimit = 15000;  // ms a wait step of a sequence may take before the run fails
  bool focusback = true;        // the front end's window brought forward at the end
  MatchRule match = MatchRule::Title;
  std::string windowclass;  // only windows of this class (any case); empty: any class
  // The mouse pointer out of sight during the run, and where cursor=park puts
  // it; no point given: the middle of the right edge of the window's monitor.
  CursorMode cursor = CursorMode::Off;
  std::optional<ScreenPoint> cursorpark;
  bool holdback = true;        // the player's keys held back while ruskel types
  std::uint32_t idleexit = 0;  // seconds with nothing pressed before the game is closed; 0: never
};

struct OptionRow {
  std::string name;
  std::string values;  // what may follow "name=", for messages: "on|off|strict", "0..1000"
  std::string summary;
  // Values it takes: every word, the ends of a range, or an example file name.
  std::vector<std::string> samples;
  // Sets the option from its trimmed value; returns what is wrong otherwise.
  std::function<std::optional<std::string>(std::string_view value, RunOptions& options)> parse;
  std::function<std::string(const RunOptions& options)> show;
};

const std::vector<OptionRow>& OptionTable();

// The row whose name equals name in any case, or null.
const OptionRow* FindOption(std::string_view name);

// "scancodes, keydelay, ..." for messages.
std::string OptionNames();

// Every option as "name=value", with " (default)" where it has its default value.
std::vector<std::string> DescribeOptions(const RunOptions& options);

}  // namespace ruskel
