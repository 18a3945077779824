// The run log (option log=): one block per run, each line stamped with the
// milliseconds since the start. Writing it never stops or slows a run.
#pragma once

#include <string>

#include "core/log_texts.h"
#include "core/mainmod.h"
#include "core/run_end.h"

namespace ruskel {

inline constexpr std::size_t kLogMaxBytes = 1024 * 1024;
inline constexpr std::size_t kLogKeptBytes = 512 * 1024;

// Opens the log named by the options: beside ruskel.exe unless absolute; a
// file grown past kLogMaxBytes is cut to its last kLogKeptBytes first.
void OpenRunLog(Mainmod& m);

namespace log_detail {

// Appends one line; does nothing without a log. After a failed write the
// log is given up for the rest of the run. Lines come from kLogTexts only:
// use Log<Say::...> or LogWhy.
void AppendLogLine(Mainmod& m, const std::string& text);
// Composes and appends a line of the table; composes nothing without a log.
void AppendTableLine(Mainmod& m, Say id, std::initializer_list<Arg> args);

}  // namespace log_detail

// Appends the table's line id with its arguments: Log<Say::Started>(m, ...).
template <Say id, class... Args>
void Log(Mainmod& m, const Args&... args) {
  static_assert(Slots(TextOf(id)) == sizeof...(Args),
                "the number of arguments differs from the {} of the text");
  log_detail::AppendTableLine(m, id, {log_detail::Arg(args)...});
}

// Appends why the run ends (composed from the table too), unless it has none.
void LogWhy(Mainmod& m, const RunEnd& end);

}  // namespace ruskel
