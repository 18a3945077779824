#include "tools/check/pitfalls.h"

#include <map>
#include <optional>

#include "core/closest_names.h"
#include "core/config_lines.h"
#include "core/exit_inputs.h"
#include "core/game_selection.h"
#include "core/key_names.h"
#include "core/number.h"
#include "core/options.h"
#include "core/text.h"
#include "core/walk_steps.h"
#include "core/window_match.h"
#include "platform/cp1252_upper.h"

namespace ruskel::check {
namespace {

using Warnings = std::vector<std::string>;

std::string LineRef(std::size_t index) {
  return "line " + std::to_string(index + 1);
}

bool IsListedName(const RunState& s, const std::string& line) {
  const std::size_t end = GameListEnd(s);
  for (std::size_t i = 0; i < end; ++i) {
    if (s.GameList[i] == line) return true;
  }
  return false;
}

// "line 4", "lines 4 to 9, 12 and 15 to 16": runs of line indexes, the
// first few of them.
std::string LineRuns(const std::vector<std::size_t>& indexes) {
  constexpr std::size_t kRunsShown = 4;
  std::vector<std::string> runs;
  std::size_t more = 0;
  for (std::size_t i = 0; i < indexes.size();) {
    std::size_t last = i;
    while (last + 1 < indexes.size() && indexes[last + 1] == indexes[last] + 1) ++last;
    if (runs.size() == kRunsShown) {
      more += last - i + 1;
    } else {
      runs.push_back(std::to_string(indexes[i] + 1) +
                     (last == i ? "" : " to " + std::to_string(indexes[last] + 1)));
    }
    i = last + 1;
  }
  std::string text = indexes.size() == 1 ? "line " : "lines ";
  for (std::size_t i = 0; i < runs.size(); ++i) {
    text += i == 0 ? "" : i + 1 == runs.size() && more == 0 ? " and " : ", ";
    text += runs[i];
  }
  if (more > 0) text += " and " + std::to_string(more) + " more";
  return text;
}

// ruskel reads a line feed alone as a line end, but Notepad before Windows 10
// and other Windows editors show such lines run together, which invites
// edits that break the file.
void CheckLineEnds(const CheckPlan& plan, Warnings& out) {
  const std::vector<LineEnd> ends = ConfigLineEnds(plan.configBytes);
  std::vector<std::size_t> lineFeeds;
  bool crLf = false;
  for (std::size_t i = 0; i < ends.size(); ++i) {
    if (ends[i] == LineEnd::Lf) lineFeeds.push_back(i);
    crLf = crLf || ends[i] == LineEnd::CrLf;
  }
  if (lineFeeds.empty()) return;
  const std::string what =
      crLf ? LineRuns(lineFeeds) + (lineFeeds.size() == 1 ? " ends" : " end") +
                 " with a line feed alone (LF), the others with CR LF"
           : std::string("the file has Unix line endings (a line feed alone, LF)");
  out.push_back(what +
                ": ruskel reads them, but Windows editors such as Notepad before Windows 10 "
                "may show those lines as one; save the file with Windows (CR LF) line endings");
}

// Setting lines the reader never sees as one might expect: the wrong case or
// a second "=".
void CheckLines(const CheckPlan& plan, Warnings& out) {
  const RunState& s = *plan.state;
  const std::vector<std::string> lines = ConfigLines(plan.configBytes);
  struct Setting {
    const char* word;
    const char* what;
    std::string value;
  };
  const Setting settings[] = {{"timer", "misc delay", std::to_string(s.MiscDelay)},
                              {"exe", "emulator command", s.EmulatorCommand}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    for (const Setting& setting : settings) {
      const std::string word = setting.word;
      const std::string_view start = Left(line, word.size());
      if (start == word || UpperAscii(start) != UpperAscii(word)) continue;
      if (line.find('=') == std::string::npos || IsListedName(s, line)) continue;
      out.push_back(LineRef(i) + " " + Quoted(line) + " is not the " + setting.what +
                    " line: only a line starting with lower-case \"" + word +
                    "\" is; this one is skipped as free text (the " + setting.what + " used is " +
                    Quoted(setting.value) + ")");
    }
    if (Left(line, 3) == "exe") {
      const auto pieces = SplitAll(line, '=');
      if (pieces.size() > 2 && pieces[1] == s.EmulatorCommand) {
        out.push_back(LineRef(i) + " " + Quoted(line) +
                      ": everything from the second \"=\" on is dropped, so the emulator "
                      "command is " +
                      Quoted(s.EmulatorCommand));
      }
    }
  }
}

void CheckHandles(const RunState& s, Warnings& out) {
  const MatchRule rule = s.Options.match;
  if (s.WindowTitle.empty() && rule == MatchRule::Title) {
    out.push_back(
        "{handles} has no window title: the wrapper waits for a window with an empty title");
  } else if (s.WindowTitle.empty() && rule != MatchRule::Own) {
    out.push_back(
        "{handles} has no window title: with match=" + FindOption("match")->show(s.Options) +
        " every window's title fits, so the emulator's first window is taken "
        "whatever it is (match=own says so plainly)");
  }
  if (!LooksForWindow(s) && (rule != MatchRule::Title || !s.Options.windowclass.empty())) {
    out.push_back(
        "match and windowclass have no effect with the window title \"null\", which waits for no "
        "window; match=own waits for the emulator's own window, whatever the title line says");
  }
  if (!LooksForWindow(s)) {
    out.push_back(
        "the window title is \"null\": no window is waited for or brought to the front, and the "
        "keys go to whatever window has the focus; on exit the window in front is closed only "
        "when it is the emulator's, else the emulator's own window");
  } else if (s.CloseMode == kNullWord) {
    out.push_back(
        "the close mode is \"null\": on exit the window in front gets the quit message only when "
        "it belongs to the emulator (or a program it started); otherwise the emulator's own "
        "window does, and the front end or another program never");
  }
}

void CheckSequence(const SequencePlan& sequence, bool played, Warnings& out) {
  const std::string where = "{" + sequence.tag + "}";
  for (std::size_t i = 0; i < sequence.steps.size(); ++i) {
    const StepPlan& step = sequence.steps[i];
    const std::string ref = where + " step " + std::to_string(i + 1) + " " + Quoted(step.text);
    if (step.endsSequence) {
      out.push_back(ref + " has no key, which ends the sequence: the " +
                    std::to_string(sequence.steps.size() - i - 1) +
                    " step(s) after it are never typed");
      break;
    }
    if (step.sent.empty() && !step.walkStep) {
      const std::string action = Trim(SplitAll(step.text, '/')[1]);
      const std::string upper = UpperAscii(action);
      std::string hint = "the action must be exactly \"down\" or \"up\"";
      if (upper == "DOWN" || upper == "UP") hint += " (lower case)";
      out.push_back(ref + " types nothing: " + hint);
    }
  }
  if (sequence.full) {
    out.push_back(where +
                  " holds 20 steps, all it can: one more step makes ruskel.exe refuse the file");
  }
  if (!played) return;
  std::map<int, int> held;
  for (const SentKey& key : sequence.sent) held[key.code] += key.up ? -1 : 1;
  for (const auto& [code, count] : held) {
    if (count > 0) {
      out.push_back(where + " presses " + KeyWithCode(code) +
                    " without releasing it: the key stays held down in the emulator");
    }
  }
}

// The name {game} stands for in a wait title; none without a rom.
std::optional<std::string> GameOfWalk(const CheckPlan& plan) {
  if (!plan.lookup) return std::nullopt;
  if (plan.lookup->slot < 0) return LookupName(plan.lookup->romName);
  return plan.state->GameList[static_cast<std::size_t>(plan.lookup->slot)];
}

// Whether a title the window rule takes can hold the wait's text. A wait
// title reads the title of the window the rule took: under match=title that
// title is the whole title line, so a text the line does not hold is met only
// once the title has changed. Without a rom, {game} may be any name: each
// piece around it must fit then.
bool TakenTitleCanHold(const RunState& s, const WalkStep& step,
                       const std::optional<std::string>& game) {
  if (s.Options.match != MatchRule::Title) return true;  // prefix, contains, own: a title can go on
  // A line feed never stands in a title: it splits the text at each {game}.
  const std::string upperTitle = UpperCp1252(s.WindowTitle);
  for (const std::string& piece : SplitAll(TitleWanted(step, game.value_or("\n")), '\n')) {
    if (upperTitle.find(UpperCp1252(piece)) == std::string::npos) return false;
  }
  return true;
}

// Waits and clicks that need the emulator's window, against what the window
// rule can give them.
void CheckWindowSteps(const CheckPlan& plan, Warnings& out) {
  const RunState& s = *plan.state;
  const auto game = GameOfWalk(plan);
  for (const SequencePlan& sequence : plan.sequences) {
    for (std::size_t i = 0; i < sequence.steps.size(); ++i) {
      const auto& step = sequence.steps[i].walkStep;
      if (!step || step->kind == StepKind::Pause || step->kind == StepKind::Idle) continue;
      const std::string ref =
          "{" + sequence.tag + "} step " + std::to_string(i + 1) + " " + Quoted(StepText(*step));
      if (!LooksForWindow(s)) {
        out.push_back(ref +
                      " needs the emulator's window, and the window title \"null\" takes "
                      "none: " +
                      (step->kind == StepKind::Click
                           ? std::string("the click is skipped")
                           : "the wait is never met and ends the run after waitlimit=" +
                                 std::to_string(s.Options.waitlimit) + " ms"));
      } else if (step->kind == StepKind::Title && !TakenTitleCanHold(s, *step, game)) {
        const std::string wanted = TitleWanted(*step, game.value_or("{game}"));
        out.push_back(ref + ": the window is taken by its whole title " + Quoted(s.WindowTitle) +
                      " (match=title), which does not hold " + Quoted(wanted) +
                      ", so the wait is met only if that title changes later; for a title that "
                      "changes once the game runs, use match=prefix (the title starts with " +
                      Quoted(s.WindowTitle) + ")");
      }
    }
  }
}

void CheckGameList(const RunState& s, Warnings& out) {
  const std::size_t end = GameListEnd(s);
  std::map<std::string, std::size_t> firstSlot;
  for (std::size_t i = 0; i < end; ++i) {
    const std::string& name = s.GameList[i];
    if (name.empty()) continue;
    auto [it, added] = firstSlot.emplace(UpperCp1252(name), i);
    if (!added) {
      out.push_back("the game " + Quoted(name) + " is listed in slots " +
                    std::to_string(it->second) + " and " + std::to_string(i) +
                    " (the lookup ignores case): slot " + std::to_string(it->second) +
                    " wins, slot " + std::to_string(i) + " is never selected");
    }
  }
  for (std::size_t i = 0; i < end; ++i) {
    if (!s.GameList[i].empty()) continue;
    std::size_t hidden = 0;
    for (std::size_t j = i + 1; j < end; ++j) hidden += s.GameList[j].empty() ? 0 : 1;
    if (hidden > 0) {
      out.push_back("{gamelist} has an empty line at slot " + std::to_string(i) +
                    ": the lookup stops there, so the " + std::to_string(hidden) +
                    " game(s) listed after it can never be selected");
    }
    break;
  }
  if (end == kGameListSlots - 1) {
    out.push_back(
        "{gamelist} holds 400 names, all it can: one more makes ruskel.exe refuse "
        "the file");
  }
}

void CheckWalkOptions(const RunState& s, Warnings& out) {
  const RunOptions& o = s.Options;
  const std::size_t lines = GameListEnd(s);
  if (o.pagekey != 0 && o.pagesize >= lines) {
    out.push_back("pagesize=" + std::to_string(o.pagesize) +
                  " is not smaller than the game list (" + std::to_string(lines) +
                  " lines): one page from the top would run past its end, so pagekey is never "
                  "pressed; count again how many lines one press moves in the emulator's menu");
  }
}

void CheckCursorOptions(const RunState& s, Warnings& out) {
  const RunOptions& o = s.Options;
  if (o.cursorpark && o.cursor != CursorMode::Park) {
    out.push_back(
        "cursorpark is set but cursor is not park, so the pointer is never parked; add "
        "cursor=park");
  }
}

void CheckCommand(const CheckPlan& plan, Warnings& out) {
  const RunState& s = *plan.state;
  if (!s.EmulatorCommand.empty() && s.EmulatorCommand.front() == ' ') {
    out.push_back("the exe= value " + Quoted(s.EmulatorCommand) +
                  " begins with a blank, so the command line is " + Quoted(plan.start.commandLine) +
                  " and Windows looks for a program named after the folder; write exe=" +
                  Trim(s.EmulatorCommand));
  } else if (Trim(s.EmulatorCommand).empty()) {
    out.push_back("the exe= line names no program");
  }
  if (plan.miscInterval == 0 && !plan.sequences[kMisc].sent.empty()) {
    out.push_back("{misc} has keys but timer=0: the misc sequence is never typed");
  }
}

void CheckExit(const CheckPlan& plan, Warnings& out) {
  if (!plan.romGiven) return;
  const RunState& s = *plan.state;
  if (!s.ExitKey) {
    out.push_back("the exit key " + WhyNoExitKey(s.ExitKeyText) + ": no key ends the run");
  }
  if (!s.ExitButton && !s.ExitButtonText.empty()) {
    out.push_back("the exit button " + WhyNoExitButton(s.ExitButtonText) +
                  ": no button ends the run");
  }
  if (!s.ExitKey && !s.ExitButton) {
    out.push_back("neither an exit key nor an exit button is set: nothing ends the run");
  }
}

void CheckLookup(const CheckPlan& plan, Warnings& out) {
  if (plan.romGiven && plan.state->RomName.empty()) {
    out.push_back(
        "the arguments give no rom name (a rom must come first, and a \"-\" at the end empties "
        "it): ruskel.exe would find no game and close the emulator after the startup sequence");
    return;
  }
  if (!plan.lookup || plan.lookup->slot >= 0) return;
  const RunState& s = *plan.state;
  const std::string& rom = plan.lookup->romName;
  const std::size_t end = GameListEnd(s);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < end; ++i) {
    if (UpperCp1252(s.GameList[i]) == UpperCp1252(rom) && !rom.empty()) {
      out.push_back("the rom " + Quoted(rom) + " is listed in slot " + std::to_string(i) +
                    " but an empty line above it hides it from the lookup");
      return;
    }
    if (!s.GameList[i].empty()) names.push_back(s.GameList[i]);
  }
  std::string text = "the rom " + Quoted(rom) +
                     " is not in the game list: ruskel.exe would close the emulator right "
                     "after the startup sequence";
  const std::size_t dot = rom.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    text += " (only a trailing .zip is cut off the rom name)";
  }
  // "game.7z" is most likely "game" with an extension that is not cut off.
  std::vector<std::string> near;
  if (dot != std::string::npos && dot > 0) {
    near = ClosestNames(rom.substr(0, dot), names, kSuggestedNames);
  }
  if (near.empty()) near = ClosestNames(rom, names, kSuggestedNames);
  if (!near.empty()) {
    text += "; did you mean ";
    for (std::size_t i = 0; i < near.size(); ++i) {
      if (i > 0) text += i + 1 == near.size() ? " or " : ", ";
      text += Quoted(near[i]);
    }
    text += "?";
  }
  out.push_back(text);
}

}  // namespace

std::vector<std::string> FindPitfalls(const CheckPlan& plan) {
  Warnings out;
  if (plan.exitCode != kCheckFileFine) return out;
  const RunState& s = *plan.state;
  CheckLineEnds(plan, out);
  CheckLines(plan, out);
  CheckHandles(s, out);
  for (std::size_t i = 0; i < plan.sequences.size(); ++i) {
    CheckSequence(plan.sequences[i], i != kMisc || plan.miscInterval > 0, out);
  }
  CheckWindowSteps(plan, out);
  CheckGameList(s, out);
  CheckWalkOptions(s, out);
  CheckCursorOptions(s, out);
  CheckCommand(plan, out);
  CheckExit(plan, out);
  CheckLookup(plan, out);
  return out;
}

}  // namespace ruskel::check
