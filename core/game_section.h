// A rom's {game NAME} section put over the file's values once the rom is known.
#pragma once

#include <string>

#include "core/mainmod.h"

namespace ruskel {

// Finds the section whose game the lookup finds for RomName and puts its
// options, misc delay and misc sequence in place of the file's; records it in
// GameSectionApplied. Returns the section, or null when the rom has none.
const GameSection* ApplyGameSection(RunState& s, TextOps& text);

// What a section sets, for the log and ruskel-check:
// "keydelay=60, timer=5000, {misc} of 2 steps".
std::string DescribeGameSection(const GameSection& section);

}  // namespace ruskel
