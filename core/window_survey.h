// The emulator's windows as the owner needs to see them when its window rule
// takes none: each visible window's title, class and size, and which rule
// would take it. The window wait logs them; ruskel-check --windows prints them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/mainmod.h"

namespace ruskel {

// One visible top-level window of the emulator's processes.
struct ShownWindow {
  WindowHandle handle = 0;
  ProcessId process = 0;
  std::string title;
  std::string className;
  WindowSize size;
};

// The visible top-level windows of the emulator's processes (the one started
// and every process it started), in z-order, front first. Hidden windows are
// left out: every program has a few (input method, messages), and match=own
// never takes one.
std::vector<ShownWindow> EmulatorWindows(Mainmod& m);

// Whether two listings show the same windows: titles and classes, in order.
// A window moved, resized or made anew with the same title and class is no news.
bool SameWindows(const std::vector<ShownWindow>& a, const std::vector<ShownWindow>& b);

// What the window rule asks for, to follow "{handles} asks for": `"Wine Mine"`,
// `"MyEmu" (match=prefix) with windowclass=SDL_app`, `any title (match=own)`.
std::string AskedForWords(const RunState& s);

// Whether the file's rule takes windows[index] among these windows (match=own
// takes only the first that passes windowclass=).
bool FileRuleTakes(Mainmod& m, const std::vector<ShownWindow>& windows, std::size_t index);

// Which rule takes windows[index]: "match=title takes it", "match=prefix or
// match=own would take it", "match=own would take it without windowclass=",
// "no match= rule takes it".
std::string TakenByWords(Mainmod& m, const std::vector<ShownWindow>& windows, std::size_t index);

// The title among the windows nearest the title line, by edit distance;
// empty without windows.
std::string NearestTitle(const RunState& s, const std::vector<ShownWindow>& windows);

// The log's lines for a listing: one per window, or one saying there is none.
void LogEmulatorWindows(Mainmod& m, const std::vector<ShownWindow>& windows);

}  // namespace ruskel
