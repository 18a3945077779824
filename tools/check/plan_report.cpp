#include "tools/check/plan_report.h"

#include <algorithm>

#include "core/exit_inputs.h"
#include "core/game_section.h"
#include "core/key_names.h"
#include "core/number.h"
#include "core/options.h"
#include "core/text.h"
#include "core/walk_steps.h"
#include "core/window_match.h"
#include "driver/menu_walk.h"
#include "driver/window_wait.h"

namespace ruskel::check {
namespace {

constexpr std::size_t kLabelWidth = 20;

void Row(std::string& out, const std::string& label, const std::string& value) {
  std::string padded = "  " + label + ":";
  if (padded.size() < kLabelWidth) padded.resize(kLabelWidth, ' ');
  out += padded + " " + value + "\n";
}

std::string Times(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string DescribeExitKey(const RunState& s) {
  if (s.ExitKey) return KeyWithCode(*s.ExitKey) + (s.ExitKeyText.empty() ? ", the default" : "");
  return "none (" + WhyNoExitKey(s.ExitKeyText) + ")";
}

std::string DescribeExitButton(const RunState& s) {
  if (s.ExitButton) return DescribeButtonMask(*s.ExitButton);
  if (s.ExitButtonText.empty()) return "none (no -butx given)";
  return "none (" + WhyNoExitButton(s.ExitButtonText) + ")";
}

std::string DescribeWindow(const RunState& s) {
  if (!LooksForWindow(s)) {
    return "\"null\": no window is waited for; keys go to whatever has the focus";
  }
  const char* read = "(whole title, any case)";
  switch (s.Options.match) {
    case MatchRule::Prefix:
      read = "(start of the title, any case)";
      break;
    case MatchRule::Contains:
      read = "(part of the title, any case)";
      break;
    case MatchRule::Own:
      read = "(not read: match=own)";
      break;
    default:
      break;
  }
  return Quoted(s.WindowTitle) + " " + read + ", waited for, then brought to front";
}

// Which window the wait and the close take, in words.
std::string DescribeWindowRule(const RunState& s) {
  const std::string first = "the first visible window" + WindowRuleWords(s);
  if (s.Options.match == MatchRule::Own) {
    return first + " of the emulator's processes; never another program's";
  }
  return first + " of the emulator's processes (else a hidden one; another program's after " +
         std::to_string(kForeignWindowAfterMs / 1000) + " s)";
}

std::string DescribeClose(const RunState& s) {
  if (s.CloseMode == kNullWord || !LooksForWindow(s)) {
    return Quoted(s.CloseMode) +
           ": on exit WM_QUIT goes to the window in front when it is the emulator's (or a "
           "program it started), else to the emulator's own window; never to another program";
  }
  return Quoted(s.CloseMode) + " (not \"null\"): on exit WM_QUIT goes to the window " +
         (s.Options.match == MatchRule::Title ? "by title" : "the rule takes, looked up afresh");
}

const GameSection* AppliedSection(const RunState& s) {
  if (s.GameSectionApplied < 0) return nullptr;
  return &s.GameSections[static_cast<std::size_t>(s.GameSectionApplied)];
}

// Every option in force, marked with where its value comes from.
std::vector<std::string> MarkedOptions(const RunState& s) {
  const GameSection* game = AppliedSection(s);
  const RunOptions defaults;
  std::vector<std::string> out;
  for (const OptionRow& row : OptionTable()) {
    const std::string value = row.show(s.Options);
    const bool byGame =
        game != nullptr && std::find(game->optionsSet.begin(), game->optionsSet.end(), row.name) !=
                               game->optionsSet.end();
    out.push_back(row.name + "=" + value +
                  (byGame                        ? " (game)"
                   : value == row.show(defaults) ? " (default)"
                                                 : " (file)"));
  }
  return out;
}

std::string DescribeSections(const RunState& s) {
  std::string out;
  for (const GameSection& section : s.GameSections) {
    out += (out.empty() ? "" : ", ") + Quoted(section.name) + " (line " +
           std::to_string(section.line) + ")";
  }
  return out;
}

}  // namespace

std::string DescribeKeys(const SequencePlan& sequence) {
  if (sequence.error) return "cannot be played: " + *sequence.error;
  if (sequence.steps.empty()) return "nothing (no steps)";
  std::string out;
  auto add = [&out](const std::string& part) {
    if (!out.empty()) out += ", ";
    out += part;
  };
  for (const StepPlan& step : sequence.steps) {
    if (step.endsSequence) {
      add(Quoted(step.text) + " ends the sequence here");
      break;
    }
    if (step.walkStep) {
      add(StepText(*step.walkStep));
      continue;
    }
    if (step.sent.empty()) {
      std::string part = "(";  // built up: GCC 12 misreads "(" + text as overlapping copies
      part += Quoted(step.text);
      add(part + " types nothing)");
    }
    for (const SentKey& key : step.sent) add(KeyName(key.code) + (key.up ? " up" : " down"));
  }
  return out;
}

// How long the menu walk takes with the file's delays, for example
// "12 selects, 52 key events, 3.1 s".
std::string DescribeWalkTime(const RunState& s, std::size_t selects, std::size_t keyEvents) {
  // The walk's steps: pauses take their time, a wait for the emulator at most
  // waitlimit, and a click is paced as a key is.
  std::uint64_t pauses = 0;
  std::uint64_t waits = 0;
  std::uint64_t clicks = 0;
  auto count = [&](const KeySequence& sequence, std::uint64_t times) {
    for (const KeyStep& line : sequence) {
      if (!line.step) continue;
      if (line.step->kind == StepKind::Pause) pauses += times * line.step->ms;
      if (IsWaitForEmulator(*line.step)) waits += times;
      if (line.step->kind == StepKind::Click) clicks += times;
    }
  };
  count(s.StartupSeq, 1);
  count(s.SelectSeq, selects);
  count(s.EnterSeq, 1);
  // With a delay every key is followed by a pause, and the first waits too.
  const std::uint32_t delay = s.Options.keydelay;
  const std::uint64_t lead = delay > 0 ? std::max(delay, kFirstKeySettleMs) : 0;
  const std::uint64_t ms =
      std::uint64_t{s.Options.startdelay} + lead + (keyEvents + clicks) * delay;
  const std::uint64_t tenths = (ms + 50) / 100;  // rounded half up
  std::string out = Times(selects, "select", "selects") + ", " +
                    Times(keyEvents, "key event", "key events") + ", " +
                    std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
  if (s.Options.keydelay == 0 && s.Options.startdelay == 0) out += " (keys sent back to back)";
  if (pauses + waits > 0) {
    const std::uint64_t longest = ms + pauses + waits * s.Options.waitlimit;
    const std::uint64_t longTenths = (longest + 50) / 100;
    out += "; with its waits at most " + std::to_string(longTenths / 10) + "." +
           std::to_string(longTenths % 10) + " s (" + std::to_string(pauses) + " ms of pauses, " +
           Times(waits, "wait", "waits") + " of up to waitlimit=" +
           std::to_string(s.Options.waitlimit) + " ms)";
  }
  return out;
}

std::string FormatPlan(const CheckPlan& plan, const std::string& arguments,
                       const std::vector<std::string>& warnings) {
  const RunState& s = *plan.state;
  std::string out = "ruskel-check: " + plan.configFile + "\n";
  out += "file: fine, ruskel.exe would accept it\n";
  out += "arguments: " + (plan.romGiven ? arguments : std::string("none given")) + "\n";

  out += "\nemulator\n";
  Row(out, "program",
      plan.start.applicationName.empty()
          ? std::string("not found in the folder")
          : plan.start.applicationName + " (must be there; nothing else is run)");
  Row(out, "command line", plan.start.commandLine);
  Row(out, "working directory", plan.start.workingDirectory);
  out += "window\n";
  Row(out, "title", DescribeWindow(s));
  if (LooksForWindow(s)) Row(out, "window taken", DescribeWindowRule(s));
  Row(out, "close mode", DescribeClose(s));
  out += "exit\n";
  if (plan.romGiven) {
    Row(out, "key", DescribeExitKey(s));
    Row(out, "button", DescribeExitButton(s));
  } else {
    Row(out, "key", "Escape (27) unless -keyx gives another");
    Row(out, "button", "none unless -butx gives one");
  }

  out += "sequences\n";
  Row(out, "startup", DescribeKeys(plan.sequences[kStartup]));
  Row(out, "select", DescribeKeys(plan.sequences[kSelect]));
  Row(out, "enter", DescribeKeys(plan.sequences[kEnter]));
  const GameSection* game = AppliedSection(s);
  const std::string byGame = " (game)";
  Row(out, "misc",
      DescribeKeys(plan.sequences[kMisc]) + (game && game->miscSeq ? byGame : std::string()));
  Row(out, "misc delay",
      (plan.miscInterval == 0
           ? std::string("never (timer=0): the misc sequence is not typed")
           : std::to_string(plan.miscInterval) + " ms after the enter sequence") +
          (game && game->miscDelay ? byGame : std::string()));

  out += "options\n";
  for (const std::string& option : MarkedOptions(s)) out += "  " + option + "\n";

  out += "games\n";
  const std::size_t listed = GameListEnd(s);
  Row(out, "listed",
      listed == 0 ? std::string("none")
                  : std::to_string(listed) + " lines (slots 0 to " + std::to_string(listed - 1) +
                        ", slot 0 at the top)");
  if (!plan.lookup) {
    Row(out, "rom",
        plan.romGiven ? std::string("none in the arguments")
                      : std::string("none given: no lookup (ruskel.exe started "
                                    "without arguments only shows its usage)"));
  } else {
    const LookupPlan& lookup = *plan.lookup;
    Row(out, "rom", Quoted(lookup.romName));
    if (lookup.slot >= 0) {
      const auto slot = static_cast<std::size_t>(lookup.slot);
      Row(out, "found", "slot " + std::to_string(slot) + " (" + Quoted(s.GameList[slot]) + ")");
      const auto selects = static_cast<std::size_t>(lookup.selects);
      Row(out, "select played", Times(selects, "time", "times"));
      Row(out, "walk", lookup.walk);
      Row(out, "keys typed",
          Times(lookup.keys.size(), "key event", "key events") + ": startup once, select " +
              Times(selects, "time", "times") + (selects == slot ? "" : " and the walk's keys") +
              ", enter once");
      Row(out, "walk time", DescribeWalkTime(s, selects, lookup.keys.size()));
      if (lookup.miscKeys) {
        Row(out, "then",
            Times(lookup.miscKeys->size(), "key event", "key events") + " of misc, " +
                std::to_string(plan.miscInterval) + " ms later");
      }
    } else {
      Row(out, "found", "not listed: the emulator is closed right after the startup sequence");
    }
  }
  if (game != nullptr) {
    Row(out, "game section",
        "{game " + game->name + "} of line " + std::to_string(game->line) + ": " +
            DescribeGameSection(*game));
  } else if (!s.GameSections.empty()) {
    Row(out, "game sections",
        DescribeSections(s) + (plan.lookup ? "; none for this rom" : std::string()));
  }

  out += "\n";
  if (warnings.empty()) out += "no warnings\n";
  for (const std::string& warning : warnings) out += "warning: " + warning + "\n";
  return out;
}

std::string FormatError(const CheckPlan& plan) {
  std::string out = "ruskel-check: " + plan.configFile + "\n";
  out += "error: ruskel.exe would refuse this file, show this message and start nothing:\n\n";
  for (const std::string& line : SplitAll(plan.error, '\n')) {
    out += line.empty() ? "\n" : "  " + line + "\n";
  }
  return out;
}

}  // namespace ruskel::check
