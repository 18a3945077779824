// The hand-back: the front end's window in front again when a run ends.
#pragma once

#include <optional>

#include "core/mainmod.h"

namespace ruskel {

// How many ancestors are asked: the process that started ruskel, and its
// parent (a launcher script or a front end's helper in between).
inline constexpr int kFrontEndAncestors = 2;

struct FrontEnd {
  ProcessId process = 0;
  WindowHandle window = 0;  // its most recently active visible top-level window
};

// The nearest ancestor process of ruskel that has a visible top-level window;
// of its windows the first in z-order, the one it used last.
std::optional<FrontEnd> FindFrontEnd(Mainmod& m);

// Lets the front end take the front by itself and, with focusback on, brings
// its window forward; logs which window got the front or why none did.
void HandBackFront(Mainmod& m);

}  // namespace ruskel
