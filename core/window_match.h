// Which top-level window is the emulator's: the title line of {handles} read
// as match= says, narrowed to one class by windowclass=. The window wait, the
// close and ruskel-check all ask here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/mainmod.h"

namespace ruskel {

inline constexpr const char* kNullWord = "null";

// False for the title "null": nothing is waited for or brought forward, and
// the keys go to whatever has the focus, as that title always meant.
// match=own reads no title, so it always looks for the emulator's window.
bool LooksForWindow(const RunState& s);

// True for the started process, the owner of the emulator window and every
// process either of them started.
bool InEmulatorTree(Mainmod& m, ProcessId process);

// Whether a window's title passes the rule (any title for match=own).
// upperWanted is the title line upper-cased by text, as the title will be.
bool TitleFits(TextOps& text, MatchRule rule, const std::string& title,
               const std::string& upperWanted);

// Whether a window's class passes windowclass= (any class when it is empty).
// upperWantedClass is windowclass= upper-cased by text.
bool ClassFits(TextOps& text, const std::string& className, const std::string& upperWantedClass);

// The window the run takes. By title: among the windows the rule matches,
// those of the emulator's own processes, and of these a visible one first;
// windows of other processes (left over from an earlier emulator) count only
// when othersToo is set. match=own: the first visible window of the
// emulator's processes, never another program's.
std::optional<WindowInfo> ChooseEmulatorWindow(Mainmod& m, bool othersToo);

// The rule in words, to follow the word "window": ` titled "My Emulator"`,
// ` of class "SDL_app" whose title starts with "MyEmu"`; empty for match=own
// without a class.
std::string WindowRuleWords(const RunState& s);

}  // namespace ruskel
