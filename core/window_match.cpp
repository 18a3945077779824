#include "core/window_match.h"

#include "core/log_texts.h"
#include "core/text.h"

namespace ruskel {

bool LooksForWindow(const RunState& s) {
  return s.Options.match == MatchRule::Own || s.WindowTitle != kNullWord;
}

bool InEmulatorTree(Mainmod& m, ProcessId process) {
  if (process == 0) return false;
  const RunState& s = m.State;
  for (ProcessId root : {s.StartedProcess, s.EmulatorProcess}) {
    if (root != 0 && m.Os.processes.IsDescendantOf(process, root)) return true;
  }
  return false;
}

bool TitleFits(TextOps& text, MatchRule rule, const std::string& title,
               const std::string& upperWanted) {
  if (rule == MatchRule::Own) return true;
  // Upper-casing keeps the length of ANSI text, so a title of the wrong
  // length is out without it: the wait compares every window's title.
  if (title.size() < upperWanted.size()) return false;
  if (rule == MatchRule::Title && title.size() != upperWanted.size()) return false;
  const std::string upper = text.UpperAnsi(title);
  switch (rule) {
    case MatchRule::Prefix:
      return upper.compare(0, upperWanted.size(), upperWanted) == 0;
    case MatchRule::Contains:
      return upper.find(upperWanted) != std::string::npos;
    default:
      return upper == upperWanted;
  }
}

bool ClassFits(TextOps& text, const std::string& className, const std::string& upperWantedClass) {
  return upperWantedClass.empty() || text.UpperAnsi(className) == upperWantedClass;
}

std::optional<WindowInfo> ChooseEmulatorWindow(Mainmod& m, bool othersToo) {
  const RunState& s = m.State;
  const MatchRule rule = s.Options.match;
  const bool own = rule == MatchRule::Own;
  WindowOps& windows = m.Os.windows;
  TextOps& text = m.Os.text;
  const std::string wanted = own ? std::string() : text.UpperAnsi(s.WindowTitle);
  const std::string wantedClass = text.UpperAnsi(s.Options.windowclass);
  const ProcessId ruskel = m.Os.processes.OwnProcess();
  std::optional<WindowInfo> best;
  int bestRank = 0;
  // Each test reads one more detail of the window; the cheapest that rules
  // out most windows comes first.
  for (WindowHandle handle : windows.TopWindows()) {
    WindowInfo window{handle, 0, false};
    if (own) {
      // Most top-level windows are hidden (input method, message and tool windows).
      window.visible = windows.IsVisible(handle);
      if (!window.visible) continue;
    } else if (!TitleFits(text, rule, windows.WindowTitle(handle), wanted)) {
      continue;
    }
    window.processId = windows.WindowProcess(handle);
    if (window.processId == 0 || window.processId == ruskel) continue;
    const bool ours = InEmulatorTree(m, window.processId);
    if (!ours && (own || !othersToo)) continue;
    if (!wantedClass.empty() && !ClassFits(text, windows.WindowClass(handle), wantedClass)) {
      continue;
    }
    if (own) return window;
    window.visible = windows.IsVisible(handle);
    const int rank = (ours ? 2 : 0) + (window.visible ? 1 : 0) + 1;
    if (rank > bestRank) {
      best = window;
      bestRank = rank;
    }
  }
  return best;
}

std::string WindowRuleWords(const RunState& s) {
  std::string out;
  if (!s.Options.windowclass.empty())
    out += Compose<Say::RuleOfClass>(Quoted(s.Options.windowclass));
  switch (s.Options.match) {
    case MatchRule::Prefix:
      return out + Compose<Say::RuleTitleStarts>(Quoted(s.WindowTitle));
    case MatchRule::Contains:
      return out + Compose<Say::RuleTitleContains>(Quoted(s.WindowTitle));
    case MatchRule::Own:
      return out;
    default:
      return out + Compose<Say::RuleTitled>(Quoted(s.WindowTitle));
  }
}

}  // namespace ruskel
