// ruskel-check --system: the machine's answers turned into a report a cabinet
// owner can act on, one line per finding, each ok, warning or problem.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/check/check_plan.h"
#include "tools/check/probes/system_probe.h"

namespace ruskel::check {

inline constexpr int kSystemFine = 0;     // no problem (warnings included)
inline constexpr int kSystemProblem = 2;  // at least one problem

// Integrity levels: windows of a higher level get no keys or messages from
// a lower one.
inline constexpr std::uint32_t kHighIntegrity = 0x3000;

enum class Status { Ok, Warning, Problem };

struct ReportLine {
  Status status = Status::Ok;
  std::string topic;  // windows, job, raw input, pads, emulator, integrity
  std::string text;
  std::string fix;  // what to do; empty for ok
};

// input: the lconfig.ini whose emulator, options and arguments the report
// looks at; a file that cannot be read leaves the emulator unchecked.
std::vector<ReportLine> BuildSystemReport(SystemProbe& probe, const CheckInput& input);

std::string FormatSystemReport(const std::string& configFile, const std::vector<ReportLine>& lines);

int SystemExitCode(const std::vector<ReportLine>& lines);

}  // namespace ruskel::check
