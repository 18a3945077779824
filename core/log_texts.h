// Every line of the run log and every message box, by id, with its wording.
// The wording lives here alone: docs/troubleshooting.md and the end-to-end
// tests quote these texts, and a test ties the doc to this table.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace ruskel {

// "{}" marks where an argument goes, in order. Ids are in table order.
enum class Say : int {
  // Start-up
  RunHeader,
  Arguments,
  ExitInputs,
  Options,
  GameSectionApplied,
  Started,
  JobRefused,
  // The hand-back to the front end, and the front during play
  FrontEndNone,
  FrontEndIsShell,
  FrontEndHidden,
  FrontEndMayTake,
  EmulatorWindowStays,
  FrontEndInFront,
  FrontEndNotInFront,
  NoWindowInFront,
  EmulatorForwardAgain,
  EmulatorHung,
  Count,  // not a text: the size of the table
};

struct LogText {
  Say id;
  std::string_view text;
};

inline constexpr std::array<LogText, static_cast<std::size_t>(Say::Count)> kLogTexts{{
    {Say::RunHeader, "---- ruskel run ---- {}, ruskel {}"},
    {Say::Arguments, "arguments: {}"},
    {Say::ExitInputs, "rom {}, exit key {}, exit button {}"},
    {Say::Options, "options: {}"},
    {Say::GameSectionApplied, "game section {game {}} of line {} applied: {}"},
    {Say::Started, "started {} in {}, process {}"},
    {Say::JobRefused,
     "killwithruskel: the emulator could not be put in a job that ends it with ruskel ({}); "
     "ruskel may itself run in a job that allows none"},
    // The hand-back to the front end, and the front during play
    {Say::FrontEndNone,
     "front end: no process above ruskel owns a window; the front is left as it is"},
    {Say::FrontEndIsShell,
     "front end: ruskel was started from the desktop shell (a shortcut, the Startup folder); "
     "the front is left as it is, the shell is never brought forward"},
    {Say::FrontEndHidden,
     "front end: process {} shows no window; it may take the front when it shows one again"},
    {Say::FrontEndMayTake, "front end: {} may take the front (focusback=off)"},
    {Say::EmulatorWindowStays,
     "front end: the emulator still shows a window after {} ms; the front end is brought "
     "forward all the same"},
    {Say::FrontEndInFront, "front end: {} brought to the front and holds it (attempt {})"},
    {Say::FrontEndNotInFront,
     "front end: {} could not be brought to the front in {} attempts; in front is {}"},
    {Say::NoWindowInFront,
     "no window holds the front: the exit key is looked at by its state until one does"},
    {Say::EmulatorForwardAgain,
     "no window held the front for {} ms: the emulator brought forward again ({})"},
    {Say::EmulatorHung,
     "the emulator's window is not responding: it is not asked forward while it hangs; the exit "
     "key and pads still work"},
}};

constexpr std::string_view TextOf(Say id) {
  return kLogTexts[static_cast<std::size_t>(id)].text;
}

// How many arguments a text takes.
constexpr std::size_t Slots(std::string_view text) {
  std::size_t slots = 0;
  for (std::size_t at = text.find("{}"); at != std::string_view::npos;
       at = text.find("{}", at + 2)) {
    ++slots;
  }
  return slots;
}

// The table is in id order, so that TextOf is an index.
constexpr bool InIdOrder() {
  for (std::size_t i = 0; i < kLogTexts.size(); ++i) {
    if (static_cast<std::size_t>(kLogTexts[i].id) != i) return false;
  }
  return true;
}
static_assert(InIdOrder(), "kLogTexts must list the ids in the order Say declares them");

namespace log_detail {

inline std::string Piece(std::string_view text) { return std::string(text); }
inline std::string Piece(const std::string& text) { return text; }
inline std::string Piece(const char* text) { return text; }
template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
std::string Piece(T number) {
  return std::to_string(number);
}

std::string Fill(std::string_view text, const std::string* args, std::size_t count);

}  // namespace log_detail

// The text of id with its arguments in place; the count is checked when built.
template <Say id, class... Args>
std::string Compose(const Args&... args) {
  static_assert(Slots(TextOf(id)) == sizeof...(Args),
                "the number of arguments differs from the {} of the text");
  const std::string pieces[sizeof...(Args) + 1] = {log_detail::Piece(args)..., std::string()};
  return log_detail::Fill(TextOf(id), pieces, sizeof...(Args));
}

}  // namespace ruskel
