// The run log (option log=): one block per run, each line stamped with the
// milliseconds since the start. Writing it never stops or slows a run.
#pragma once

#include <string>

#include "core/log_texts.h"
#include "core/mainmod.h"

namespace ruskel {

inline constexpr std::size_t kLogMaxBytes = 1024 * 1024;
inline constexpr std::size_t kLogKeptBytes = 512 * 1024;

// Opens the log named by the options: beside ruskel.exe unless absolute; a
// file grown past kLogMaxBytes is cut to its last kLogKeptBytes first.
void OpenRunLog(Mainmod& m);

// Appends one line; does nothing without a log. After a failed write the
// log is given up for the rest of the run.
void Log(Mainmod& m, const std::string& text);

// Appends the table's line id with its arguments: Log<Say::Started>(m, ...).
template <Say id, class... Args>
void Log(Mainmod& m, const Args&... args) {
  Log(m, Compose<id>(args...));
}

}  // namespace ruskel
