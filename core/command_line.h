// The wrapper's argument text: a rom name or path, KEYX <exit key>, BUTX <button mask>.
#pragma once

#include <string>

#include "core/mainmod.h"

namespace ruskel {

// Never fails and never reports: a KEYX or BUTX text that gives no usable key
// or mask leaves no exit key or button, and the texts stay for the reports.
void ParseArgs(RunState& state, std::string text);

}  // namespace ruskel
