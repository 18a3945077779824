// The emulator's lines of ruskel-check --system: is its program where ruskel
// looks, and would Windows start it as administrator, out of ruskel's reach.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/check/system_report.h"

namespace ruskel::check {

// fileRead: the configuration file could be read at all; plan: ruskel's
// dry run on it; integrity: this process's level, when known.
void AddEmulator(std::vector<ReportLine>& out, SystemProbe& probe, const CheckInput& input,
                 const CheckPlan& plan, bool fileRead, std::optional<std::uint32_t> integrity);

// What the plain check adds on the cabinet itself: the emulator's findings
// that are not ok (a "Run as administrator" flag keeps every key from it),
// each with its fix.
std::vector<std::string> EmulatorWarnings(SystemProbe& probe, const CheckInput& input,
                                          const CheckPlan& plan);

}  // namespace ruskel::check
