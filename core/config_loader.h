// Reader of lconfig.ini: eight parts in a fixed order, then optionally
// {options} and {game NAME} sections; lines ended by CR LF, LF or CR, every
// line trimmed, tags matched exactly.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/mainmod.h"

namespace ruskel {

inline constexpr const char* kConfigFileName = "lconfig.ini";

std::string ConfigPath(const std::string& programDir);

// Fills the configuration fields of state from the file's bytes; the names
// of {game} sections are looked up in the game list with text's upper-casing.
// Returns the message for the user when the file is malformed; state is then
// half filled and must not be used.
std::optional<std::string> ParseConfig(std::string_view bytes, RunState& state, TextOps& text);

// Reads ProgramDir\lconfig.ini into m.State; any failure is fatal.
void LoadConfig(Mainmod& m);

}  // namespace ruskel
