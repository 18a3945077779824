// The wrapper's argument text: a rom name or path, KEYX <exit key>, BUTX <button mask>.
#pragma once

#include <string>

#include "core/mainmod.h"

namespace ruskel {

// Never fails and never reports: a step that cannot be carried out leaves its
// field as it was.
void ParseArgs(RunState& state, std::string text);

}  // namespace ruskel
