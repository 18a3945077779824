#include "core/options.h"

#include <cmath>

#include "core/number.h"
#include "core/text.h"

namespace ruskel {
namespace {

using ParseResult = std::optional<std::string>;

bool SameWord(std::string_view a, std::string_view b) {
  return UpperAscii(a) == UpperAscii(b);
}

ParseResult ParseOnOff(std::string_view value, bool& out) {
  if (SameWord(value, "on")) {
    out = true;
  } else if (SameWord(value, "off")) {
    out = false;
  } else {
    return std::string("expected on or off");
  }
  return std::nullopt;
}

// Whole milliseconds in lo..hi; no fractions, since a fraction of a
// millisecond cannot be waited.
ParseResult ParseMs(std::string_view value, std::uint32_t lo, std::uint32_t hi,
                    std::uint32_t& out) {
  const std::string range =
      "a whole number of milliseconds from " + std::to_string(lo) + " to " + std::to_string(hi);
  const auto number = ReadNumber(value);
  if (!number || *number != std::floor(*number)) return "expected " + range;
  if (*number < lo || *number > hi) return "expected " + range;
  out = static_cast<std::uint32_t>(*number);
  return std::nullopt;
}

std::string OnOff(bool on) {
  return on ? "on" : "off";
}

// A virtual-key code a menu walk may press; 0 or "none" turns the key off.
ParseResult ParseWalkKey(std::string_view value, std::uint8_t& out) {
  if (SameWord(value, "none")) {
    out = 0;
    return std::nullopt;
  }
  const auto code = ReadNumber(value);
  if (!code || *code != std::floor(*code) || *code < 0 || *code > 254) {
    return std::string("expected a virtual-key code from 1 to 254, or none");
  }
  out = static_cast<std::uint8_t>(*code);
  return std::nullopt;
}

std::string ShowWalkKey(std::uint8_t key) {
  return key == 0 ? std::string("none") : std::to_string(key);
}

const std::vector<OptionRow> kOptions = {
    {"scancodes", "on|off|strict",
     "send each key's scan code with its virtual-key code (strict: flagged as a scan-code key)",
     [](std::string_view v, RunOptions& o) -> ParseResult {
       if (SameWord(v, "on")) {
         o.scancodes = ScanCodes::On;
       } else if (SameWord(v, "off")) {
         o.scancodes = ScanCodes::Off;
       } else if (SameWord(v, "strict")) {
         o.scancodes = ScanCodes::Strict;
       } else {
         return std::string("expected on, off or strict");
       }
       return std::nullopt;
     },
     [](const RunOptions& o) -> std::string {
       switch (o.scancodes) {
         case ScanCodes::Off:
           return "off";
         case ScanCodes::Strict:
           return "strict";
         case ScanCodes::On:
           break;
       }
       return "on";
     }},
    {"keydelay", "0..1000", "milliseconds each key is held and released (0: back to back)",
     [](std::string_view v, RunOptions& o) { return ParseMs(v, 0, 1000, o.keydelay); },
     [](const RunOptions& o) { return std::to_string(o.keydelay); }},
    {"startdelay", "0..60000",
     "milliseconds between the window coming to the front and the first key",
     [](std::string_view v, RunOptions& o) { return ParseMs(v, 0, 60000, o.startdelay); },
     [](const RunOptions& o) { return std::to_string(o.startdelay); }},
    {"joystick", "first|any", "which pads the -butx mask is compared with",
     [](std::string_view v, RunOptions& o) -> ParseResult {
       if (SameWord(v, "first")) {
         o.joystick = JoystickChoice::First;
       } else if (SameWord(v, "any")) {
         o.joystick = JoystickChoice::Any;
       } else {
         return std::string("expected first or any");
       }
       return std::nullopt;
     },
     [](const RunOptions& o) -> std::string {
       return o.joystick == JoystickChoice::Any ? "any" : "first";
     }},
    {"exithold", "0..10000", "milliseconds the exit key or button must be held (0: on press)",
     [](std::string_view v, RunOptions& o) { return ParseMs(v, 0, 10000, o.exithold); },
     [](const RunOptions& o) { return std::to_string(o.exithold); }},
    {"follow", "on|off", "end when the emulator quits or crashes by itself (exit code 6)",
     [](std::string_view v, RunOptions& o) { return ParseOnOff(v, o.follow); },
     [](const RunOptions& o) { return OnOff(o.follow); }},
    {"closewait", "0..60000", "milliseconds to wait for the emulator to quit before WM_CLOSE",
     [](std::string_view v, RunOptions& o) { return ParseMs(v, 0, 60000, o.closewait); },
     [](const RunOptions& o) { return std::to_string(o.closewait); }},
    {"terminate", "on|off", "end an emulator that ignores WM_QUIT and WM_CLOSE by force",
     [](std::string_view v, RunOptions& o) { return ParseOnOff(v, o.terminate); },
     [](const RunOptions& o) { return OnOff(o.terminate); }},
    {"killwithruskel", "on|off", "end the emulator too when ruskel itself is ended by force",
     [](std::string_view v, RunOptions& o) { return ParseOnOff(v, o.killwithruskel); },
     [](const RunOptions& o) { return OnOff(o.killwithruskel); }},
    {"log", "<file>", "append a log of each run to this file (beside ruskel.exe unless absolute)",
     [](std::string_view v, RunOptions& o) -> ParseResult {
       if (v.empty()) return std::string("expected a file name");
       if (v.find_first_of("<>|?*\"") != std::string_view::npos) {
         return std::string("a file name cannot hold < > | ? * or \"");
       }
       o.log = std::string(v);
       return std::nullopt;
     },
     [](const RunOptions& o) { return o.log.empty() ? std::string("(none)") : o.log; }},
    {"curtain", "on|off", "black screen over the desktop and the menu walk",
     [](std::string_view v, RunOptions& o) { return ParseOnOff(v, o.curtain); },
     [](const RunOptions& o) { return OnOff(o.curtain); }},
    {"pagekey", "1..254|none", "virtual-key code of a key that moves pagesize lines down the menu",
     [](std::string_view v, RunOptions& o) { return ParseWalkKey(v, o.pagekey); },
     [](const RunOptions& o) { return ShowWalkKey(o.pagekey); }},
    {"pagesize", "1..400", "how many lines one press of pagekey (and pageupkey) moves",
     [](std::string_view v, RunOptions& o) -> ParseResult {
       const auto lines = ReadNumber(v);
       if (!lines || *lines != std::floor(*lines) || *lines < 1 || *lines > 400) {
         return std::string("expected a whole number of lines from 1 to 400");
       }
       o.pagesize = static_cast<std::uint32_t>(*lines);
       return std::nullopt;
     },
     [](const RunOptions& o) {
       return o.pagesize == 0 ? std::string("(none)") : std::to_string(o.pagesize);
     }},
    {"wrapkey", "1..254|none",
     "virtual-key code of a key that moves one line up, in a menu that wraps from the top to the "
     "bottom",
     [](std::string_view v, RunOptions& o) { return ParseWalkKey(v, o.wrapkey); },
     [](const RunOptions& o) { return ShowWalkKey(o.wrapkey); }},
    {"pageupkey", "1..254|none",
     "virtual-key code of a key that moves pagesize lines up (after wrapkey has wrapped)",
     [](std::string_view v, RunOptions& o) { return ParseWalkKey(v, o.pageupkey); },
     [](const RunOptions& o) { return ShowWalkKey(o.pageupkey); }},
};

}  // namespace

const std::vector<OptionRow>& OptionTable() {
  return kOptions;
}

const OptionRow* FindOption(std::string_view name) {
  for (const OptionRow& row : kOptions) {
    if (SameWord(row.name, name)) return &row;
  }
  return nullptr;
}

std::string OptionNames() {
  std::string out;
  for (const OptionRow& row : kOptions) {
    if (!out.empty()) out += ", ";
    out += row.name;
  }
  return out;
}

std::vector<std::string> DescribeOptions(const RunOptions& options) {
  const RunOptions defaults;
  std::vector<std::string> out;
  for (const OptionRow& row : kOptions) {
    const std::string value = row.show(options);
    out.push_back(std::string(row.name) + "=" + value +
                  (value == row.show(defaults) ? " (default)" : ""));
  }
  return out;
}

}  // namespace ruskel
