#include "core/run_log.h"

#include "core/text.h"

namespace ruskel {
namespace {

bool IsAbsolute(const std::string& path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  const bool share = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
                     (path[1] == '\\' || path[1] == '/');
  return drive || share;
}

}  // namespace

void OpenRunLog(Mainmod& m) {
  RunState& s = m.State;
  const std::string& name = s.Options.log;
  if (name.empty()) return;
  s.LogPath = IsAbsolute(name) ? name : m.Os.processes.ProgramDirectory() + "\\" + name;
  const FileReadResult old = m.Os.files.ReadWholeFile(s.LogPath);
  if (old.ok && old.bytes.size() > kLogMaxBytes) {
    // Keep whole lines: cut at the first line start inside the kept tail.
    std::size_t from = old.bytes.size() - kLogKeptBytes;
    const std::size_t lineStart = old.bytes.find('\n', from);
    from = lineStart == std::string::npos ? from : lineStart + 1;
    if (!m.Os.files.WriteWholeFile(s.LogPath, old.bytes.substr(from))) s.LogPath.clear();
  }
}

void log_detail::AppendLogLine(Mainmod& m, const std::string& text) {
  RunState& s = m.State;
  if (s.LogPath.empty()) return;
  const std::string stamp = PaddedNumber(m.Os.events.NowMs() - s.StartedAtMs, 8) + " ms  ";
  if (!m.Os.files.AppendToFile(s.LogPath, stamp + text + "\r\n")) s.LogPath.clear();
}

void log_detail::AppendTableLine(Mainmod& m, Say id, std::initializer_list<Arg> args) {
  if (!m.State.LogPath.empty()) AppendLogLine(m, Fill(id, args));
}

void LogWhy(Mainmod& m, const RunEnd& end) {
  if (!end.why.empty()) log_detail::AppendLogLine(m, end.why);
}

}  // namespace ruskel
