#include "core/window_survey.h"

#include <array>

#include "core/closest_names.h"
#include "core/run_log.h"
#include "core/text.h"
#include "core/window_match.h"

namespace ruskel {
namespace {

constexpr std::array<MatchRule, 4> kRules = {MatchRule::Title, MatchRule::Prefix,
                                             MatchRule::Contains, MatchRule::Own};

const char* RuleName(MatchRule rule) {
  switch (rule) {
    case MatchRule::Prefix:
      return "match=prefix";
    case MatchRule::Contains:
      return "match=contains";
    case MatchRule::Own:
      return "match=own";
    default:
      return "match=title";
  }
}

// The rules with the file's title line and, with withClass, its windowclass=.
class RuleTest {
 public:
  RuleTest(Mainmod& m, const std::vector<ShownWindow>& windows)
      : text_(m.Os.text),
        windows_(windows),
        titleRead_(m.State.WindowTitle != kNullWord),
        wanted_(text_.UpperAnsi(m.State.WindowTitle)),
        wantedClass_(text_.UpperAnsi(m.State.Options.windowclass)) {}

  bool Takes(MatchRule rule, std::size_t index, bool withClass) {
    const ShownWindow& window = windows_[index];
    if (withClass && !ClassFits(text_, window.className, wantedClass_)) return false;
    // The title "null" waits for no window with the title rules.
    if (rule != MatchRule::Own) return titleRead_ && TitleFits(text_, rule, window.title, wanted_);
    // match=own: the first visible window of the emulator's that passes the class.
    for (std::size_t i = 0; i < index; ++i) {
      if (!withClass || ClassFits(text_, windows_[i].className, wantedClass_)) return false;
    }
    return true;
  }

  // The rules other than `except` that take the window, as "match=a or match=b".
  std::string Others(MatchRule except, std::size_t index, bool withClass) {
    std::vector<const char*> names;
    for (MatchRule rule : kRules) {
      if (rule != except && Takes(rule, index, withClass)) names.push_back(RuleName(rule));
    }
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
      out += i == 0 ? "" : i + 1 == names.size() ? " or " : ", ";
      out += names[i];
    }
    return out;
  }

 private:
  TextOps& text_;
  const std::vector<ShownWindow>& windows_;
  bool titleRead_;
  std::string wanted_;
  std::string wantedClass_;
};

}  // namespace

std::vector<ShownWindow> EmulatorWindows(Mainmod& m) {
  WindowOps& windows = m.Os.windows;
  const ProcessId ruskel = m.Os.processes.OwnProcess();
  std::vector<ShownWindow> shown;
  // Visibility first: it rules out most windows and costs one read each.
  for (WindowHandle handle : windows.TopWindows()) {
    if (!windows.IsVisible(handle)) continue;
    const ProcessId process = windows.WindowProcess(handle);
    if (process == 0 || process == ruskel || !InEmulatorTree(m, process)) continue;
    shown.push_back({handle, process, windows.WindowTitle(handle), windows.WindowClass(handle),
                     windows.SizeOf(handle)});
  }
  return shown;
}

bool SameWindows(const std::vector<ShownWindow>& a, const std::vector<ShownWindow>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].title != b[i].title || a[i].className != b[i].className) return false;
  }
  return true;
}

std::string AskedForWords(const RunState& s) {
  std::string out;
  switch (s.Options.match) {
    case MatchRule::Own:
      out = "any title (match=own)";
      break;
    case MatchRule::Prefix:
    case MatchRule::Contains:
      out = Quoted(s.WindowTitle) + " (" + RuleName(s.Options.match) + ")";
      break;
    default:
      out = Quoted(s.WindowTitle);
  }
  if (!s.Options.windowclass.empty()) out += " with windowclass=" + s.Options.windowclass;
  return out;
}

bool FileRuleTakes(Mainmod& m, const std::vector<ShownWindow>& windows, std::size_t index) {
  return LooksForWindow(m.State) && RuleTest(m, windows).Takes(m.State.Options.match, index, true);
}

std::string TakenByWords(Mainmod& m, const std::vector<ShownWindow>& windows, std::size_t index) {
  const MatchRule rule = m.State.Options.match;
  RuleTest test(m, windows);
  const bool withClass = !m.State.Options.windowclass.empty();
  if (FileRuleTakes(m, windows, index)) {
    return std::string(RuleName(rule)) + (withClass ? " and windowclass= take it" : " takes it");
  }
  std::string others = test.Others(rule, index, true);
  if (!others.empty()) return others + " would take it";
  if (withClass) {
    if (test.Takes(rule, index, false)) {
      return std::string(RuleName(rule)) + " would take it without windowclass=";
    }
    others = test.Others(rule, index, false);
    if (!others.empty()) return others + " would take it without windowclass=";
  }
  return "no match= rule takes it";
}

std::string NearestTitle(const RunState& s, const std::vector<ShownWindow>& windows) {
  std::string nearest;
  std::size_t best = 0;
  for (const ShownWindow& window : windows) {
    const std::size_t distance = EditDistance(s.WindowTitle, window.title);
    if (nearest.empty() || distance < best) {
      nearest = window.title;
      best = distance;
    }
  }
  return nearest;
}

void LogEmulatorWindows(Mainmod& m, const std::vector<ShownWindow>& windows) {
  const std::string asked = AskedForWords(m.State);
  if (windows.empty()) {
    Log<Say::EmulatorShowsNothing>(m, asked);
    return;
  }
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const ShownWindow& window = windows[i];
    Log<Say::EmulatorShows>(m, Quoted(window.title), window.className, asked, window.size.width,
                            window.size.height, TakenByWords(m, windows, i));
  }
}

}  // namespace ruskel
