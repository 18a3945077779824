#include "core/options.h"

#include <cmath>
#include <utility>

#include "core/log_texts.h"
#include "core/number.h"
#include "core/text.h"

namespace ruskel {
namespace {

using ParseResult = std::optional<std::string>;
// Plain text, not std::string: the table is built once, and each string
// built in place costs the exe code of its own.
template <typename T>
using Words = std::vector<std::pair<const char*, T>>;

bool SameWord(std::string_view a, std::string_view b) {
  return UpperAscii(a) == UpperAscii(b);
}

// A whole number from lo to hi; expected says so when the value is not one.
// No fractions: a fraction of a millisecond cannot be waited.
OptionRow NumberOption(const char* name, std::uint32_t RunOptions::*field, std::uint32_t lo,
                       std::uint32_t hi, const std::string& expected, const char* summary) {
  return {name,
          std::to_string(lo) + ".." + std::to_string(hi),
          summary,
          {std::to_string(lo), std::to_string(hi)},
          [=](std::string_view v, RunOptions& o) -> ParseResult {
            const auto number = ReadNumber(v);
            if (!number || *number != std::floor(*number) || *number < lo || *number > hi) {
              return expected;
            }
            o.*field = static_cast<std::uint32_t>(*number);
            return std::nullopt;
          },
          [field](const RunOptions& o) { return std::to_string(o.*field); }};
}

OptionRow MsOption(const char* name, std::uint32_t RunOptions::*field, std::uint32_t lo,
                   std::uint32_t hi, const char* summary) {
  return NumberOption(name, field, lo, hi, Compose<Say::ValueMs>(lo, hi), summary);
}

// One of a few words, in any case; the first word also shows a value no word names.
template <typename T>
OptionRow WordOption(const char* name, T RunOptions::*field, const Words<T>& words,
                     const char* summary) {
  std::string values;
  std::string choices;
  std::vector<std::string> samples;
  for (std::size_t i = 0; i < words.size(); ++i) {
    values += std::string(i == 0 ? "" : "|") + words[i].first;
    choices += std::string(i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i].first;
    samples.push_back(words[i].first);
  }
  const std::string expected = Compose<Say::ValueWords>(choices);
  return {name,
          values,
          summary,
          samples,
          [=](std::string_view v, RunOptions& o) -> ParseResult {
            for (const auto& [word, value] : words) {
              if (SameWord(v, word)) {
                o.*field = value;
                return std::nullopt;
              }
            }
            return expected;
          },
          [=](const RunOptions& o) -> std::string {
            for (const auto& [word, value] : words) {
              if (o.*field == value) return word;
            }
            return words.front().first;
          }};
}

// A file name as Windows accepts one; shown as "(none)" while empty.
OptionRow FileOption(const char* name, std::string RunOptions::*field, const char* summary) {
  return {name,
          "<file>",
          summary,
          {"ruskel.log"},
          [field](std::string_view v, RunOptions& o) -> ParseResult {
            if (v.empty()) return Compose<Say::ValueFileName>();
            if (v.find_first_of("<>|?*\"") != std::string_view::npos) {
              return Compose<Say::ValueFileNameChars>();
            }
            o.*field = std::string(v);
            return std::nullopt;
          },
          [field](const RunOptions& o) {
            return (o.*field).empty() ? std::string("(none)") : o.*field;
          }};
}

// A virtual-key code a menu walk may press, 1 to 254; 0 or "none": no such key.
OptionRow KeyOption(const char* name, std::uint8_t RunOptions::*field, const char* summary) {
  return {name,
          "1..254|none",
          summary,
          {"1", "254", "none"},
          [field](std::string_view v, RunOptions& o) -> ParseResult {
            if (SameWord(v, "none")) {
              o.*field = 0;
              return std::nullopt;
            }
            const auto code = ReadNumber(v);
            if (!code || *code != std::floor(*code) || *code < 0 || *code > 254) {
              return Compose<Say::ValueKey>();
            }
            o.*field = static_cast<std::uint8_t>(*code);
            return std::nullopt;
          },
          [field](const RunOptions& o) {
            return o.*field == 0 ? std::string("none") : std::to_string(o.*field);
          }};
}

// A number of menu lines from 1 to hi; shown as "(none)" while unset.
OptionRow LinesOption(const char* name, std::uint32_t RunOptions::*field, std::uint32_t hi,
                      const char* summary) {
  const std::string expected = Compose<Say::ValueLines>(hi);
  return {name,
          "1.." + std::to_string(hi),
          summary,
          {"1", std::to_string(hi)},
          [=](std::string_view v, RunOptions& o) -> ParseResult {
            const auto lines = ReadNumber(v);
            if (!lines || *lines != std::floor(*lines) || *lines < 1 || *lines > hi) {
              return expected;
            }
            o.*field = static_cast<std::uint32_t>(*lines);
            return std::nullopt;
          },
          [field](const RunOptions& o) {
            return o.*field == 0 ? std::string("(none)") : std::to_string(o.*field);
          }};
}

// Wide enough for any desktop of monitors side by side, far from overflow.
constexpr std::int32_t kFar = 100000;

// A point on the screen as "x,y" (blanks around each number allowed; negative
// for a monitor left of or above the primary one); shown as unsetText while unset.
OptionRow PointOption(const char* name, std::optional<ScreenPoint> RunOptions::*field,
                      const char* unsetText, const char* summary) {
  return {name,
          "x,y",
          summary,
          {"0,0", "-1920,540"},
          [field](std::string_view v, RunOptions& o) -> ParseResult {
            const auto pixel = [](std::string_view part) -> std::optional<std::int32_t> {
              const auto number = ReadNumber(part);
              if (!number || *number != std::floor(*number) || *number < -kFar || *number > kFar) {
                return std::nullopt;
              }
              return static_cast<std::int32_t>(*number);
            };
            const std::size_t comma = v.find(',');
            const auto x = pixel(v.substr(0, comma));
            const auto y =
                comma == std::string_view::npos ? std::nullopt : pixel(v.substr(comma + 1));
            if (!x || !y) {
              return Compose<Say::ValuePoint>(-kFar, kFar);
            }
            o.*field = ScreenPoint{*x, *y};
            return std::nullopt;
          },
          [=](const RunOptions& o) {
            const auto& point = o.*field;
            return point ? std::to_string(point->x) + "," + std::to_string(point->y)
                         : std::string(unsetText);
          }};
}

// A window class name, matched whole: wildcards and quotes, which a class
// name never holds, are refused rather than taken literally. Shown as "(any)"
// while empty.
OptionRow ClassOption(const char* name, std::string RunOptions::*field, const char* summary) {
  // Windows keeps class names to 256 characters.
  static constexpr std::size_t kLongest = 256;
  return {name,
          "<class name>",
          summary,
          {"SDL_app"},
          [field](std::string_view v, RunOptions& o) -> ParseResult {
            if (v.size() > kLongest) {
              return Compose<Say::ValueClassLength>(kLongest);
            }
            if (v.find_first_of("*?\"") != std::string_view::npos) {
              return Compose<Say::ValueClassChars>();
            }
            o.*field = std::string(v);
            return std::nullopt;
          },
          [field](const RunOptions& o) {
            return (o.*field).empty() ? std::string("(any)") : o.*field;
          }};
}

std::vector<OptionRow> MakeTable() {
  const Words<bool> onOff = {{"on", true}, {"off", false}};
  return {
      WordOption("scancodes", &RunOptions::scancodes,
                 {{"on", ScanCodes::On}, {"off", ScanCodes::Off}, {"strict", ScanCodes::Strict}},
                 "send each key's scan code with its virtual-key code (strict: flagged as a "
                 "scan-code key)"),
      MsOption("keydelay", &RunOptions::keydelay, 0, 1000,
               "milliseconds each key is held and released (0: back to back)"),
      MsOption("startdelay", &RunOptions::startdelay, 0, 60000,
               "milliseconds between the window coming to the front and the first key"),
      WordOption("joystick", &RunOptions::joystick,
                 {{"first", JoystickChoice::First}, {"any", JoystickChoice::Any}},
                 "which pads the -butx mask is compared with"),
      MsOption("exithold", &RunOptions::exithold, 0, 10000,
               "milliseconds the exit key or button must be held (0: on press)"),
      WordOption("follow", &RunOptions::follow, onOff,
                 "end when the emulator quits or crashes by itself (exit code 6)"),
      MsOption("closewait", &RunOptions::closewait, 0, 60000,
               "milliseconds to wait for the emulator to quit before WM_CLOSE"),
      WordOption("terminate", &RunOptions::terminate, onOff,
                 "end an emulator that ignores WM_QUIT and WM_CLOSE by force"),
      WordOption("killwithruskel", &RunOptions::killwithruskel, onOff,
                 "end the emulator too when ruskel itself is ended by force"),
      FileOption("log", &RunOptions::log,
                 "append a log of each run to this file (beside ruskel.exe unless absolute)"),
      WordOption("curtain", &RunOptions::curtain, onOff,
                 "black screen over the desktop and the menu walk"),
      KeyOption("pagekey", &RunOptions::pagekey,
                "virtual-key code of a key that moves pagesize lines down the menu"),
      LinesOption("pagesize", &RunOptions::pagesize, 400,
                  "how many lines one press of pagekey (and pageupkey) moves"),
      KeyOption("wrapkey", &RunOptions::wrapkey,
                "virtual-key code of a key that moves one line up, in a menu that wraps from the "
                "top to the bottom"),
      KeyOption("pageupkey", &RunOptions::pageupkey,
                "virtual-key code of a key that moves pagesize lines up (after wrapkey has "
                "wrapped)"),
      MsOption("focuswait", &RunOptions::focuswait, 0, 600000,
               "milliseconds the walk waits for the emulator to come back to the front before "
               "the run ends with exit code 8 (0: no limit)"),
      MsOption("waitlimit", &RunOptions::waitlimit, 1, 600000,
               "milliseconds a wait step of a key sequence (pixel, title, idle) may take before "
               "the emulator is closed and the run ends with exit code 10"),
      WordOption("focusback", &RunOptions::focusback, onOff,
                 "bring the front end's window to the front when the run ends"),
      WordOption("match", &RunOptions::match,
                 {{"title", MatchRule::Title},
                  {"prefix", MatchRule::Prefix},
                  {"contains", MatchRule::Contains},
                  {"own", MatchRule::Own}},
                 "how the title line finds the window: the whole title, its start, a part of it, "
                 "or own: the emulator's first visible window, whatever its title"),
      ClassOption("windowclass", &RunOptions::windowclass,
                  "only a window of this class (whole name, any case) is the emulator's; empty: "
                  "any class"),
      WordOption("cursor", &RunOptions::cursor,
                 {{"off", CursorMode::Off}, {"park", CursorMode::Park}, {"hide", CursorMode::Hide}},
                 "the mouse pointer during the run: left alone, parked at cursorpark from when "
                 "the window is found, or every system cursor blank; back as it was at the end"),
      PointOption("cursorpark", &RunOptions::cursorpark, "(middle of the right edge)",
                  "where cursor=park puts the pointer, in screen pixels (default: the middle of "
                  "the right edge of the emulator window's monitor)"),
      WordOption("holdback", &RunOptions::holdback, onOff,
                 "hold back the keys the player presses while ruskel waits out startdelay, "
                 "types the menu walk and the misc sequence (the exit key still ends the run; "
                 "pads cannot be held back)"),
      NumberOption("idleexit", &RunOptions::idleexit, 0, 86400, Compose<Say::ValueSeconds>(86400),
                   "seconds with no key, mouse button or pad button pressed while the game runs "
                   "before the emulator is closed as with the exit key (0: never)"),
  };
}

}  // namespace

const std::vector<OptionRow>& OptionTable() {
  static const std::vector<OptionRow> table = MakeTable();
  return table;
}

const OptionRow* FindOption(std::string_view name) {
  for (const OptionRow& row : OptionTable()) {
    if (SameWord(row.name, name)) return &row;
  }
  return nullptr;
}

std::string OptionNames() {
  std::string out;
  for (const OptionRow& row : OptionTable()) {
    if (!out.empty()) out += ", ";
    out += row.name;
  }
  return out;
}

std::vector<std::string> DescribeOptions(const RunOptions& options) {
  const RunOptions defaults;
  std::vector<std::string> out;
  for (const OptionRow& row : OptionTable()) {
    const std::string value = row.show(options);
    out.push_back(row.name + "=" + value + (value == row.show(defaults) ? " (default)" : ""));
  }
  return out;
}

}  // namespace ruskel
