#include "core/config_loader.h"

#include <map>
#include <stdexcept>

#include "core/closest_names.h"
#include "core/config_lines.h"
#include "core/fatal.h"
#include "core/number.h"
#include "core/options.h"
#include "core/text.h"
#include "core/walk_plan.h"

namespace ruskel {
namespace {

constexpr std::int32_t kMaxTimerInterval = 65535;

struct ConfigFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ConfigParser {
 public:
  ConfigParser(std::string_view bytes, RunState& state) : reader_(bytes), state_(state) {}

  void Run() {
    ReadHandles();
    ReadSequence("startup", state_.StartupSeq);
    ReadSequence("selectsequence", state_.SelectSeq);
    ReadSequence("entersequence", state_.EnterSeq);
    ReadMiscDelay();
    ReadSequence("misc", state_.MiscSeq);
    ReadGameList();
    ReadEmulatorCommand();
    ReadOptions();
  }

 private:
  [[noreturn]] void FailAtLine(const std::string& what) const {
    FailAtLine(reader_.LineNumber(), what);
  }

  [[noreturn]] void FailAtLine(int line, const std::string& what) const {
    std::string message =
        std::string(kConfigFileName) + " line " + std::to_string(line) + ": " + what + ".";
    if (!nearMiss_.empty()) message += " " + nearMiss_;
    throw ConfigFailure(message);
  }

  // The end of the file came while `awaited` was still to come.
  [[noreturn]] void FailAtEnd(const std::string& awaited) const {
    std::string message = std::string(kConfigFileName) + ": ";
    if (reader_.LineNumber() == 0) {
      message += "the file is empty; expected " + awaited + ".";
    } else {
      message += "the file ended after line " + std::to_string(reader_.LineNumber()) + " without " +
                 awaited + ".";
    }
    if (reader_.HasUnixLineEndings()) {
      message += " The file has Unix (LF) line endings; save it with Windows (CR LF) line endings.";
    } else if (!nearMiss_.empty()) {
      message += " " + nearMiss_;
    }
    throw ConfigFailure(message);
  }

  void Read(const std::string& awaited) {
    if (!reader_.Next(current_)) FailAtEnd(awaited);
  }

  // Skips lines until one that `matches`; remembers a line that differs only
  // in case, since that is the usual slip in a hand-edited file.
  template <typename Match>
  void SkipUntil(Match matches, std::size_t prefixLen, const std::string& wanted,
                 const std::string& awaited) {
    nearMiss_.clear();
    while (!matches(current_)) {
      Read(awaited);
      if (!matches(current_)) NoteNearMiss(wanted, prefixLen);
    }
    nearMiss_.clear();
  }

  void NoteNearMiss(const std::string& wanted, std::size_t prefixLen) {
    if (nearMiss_.empty() && Left(current_, prefixLen) != wanted &&
        UpperAscii(Left(current_, prefixLen)) == UpperAscii(wanted)) {
      nearMiss_ = "Line " + std::to_string(reader_.LineNumber()) + " reads " + Quoted(current_) +
                  ", but \"" + wanted + "\" must be written in exactly this case.";
    }
  }

  void SkipToTag(const std::string& tag) {
    SkipUntil([&](const std::string& line) { return line == tag; }, std::string::npos, tag,
              "the line " + tag);
  }

  void ReadHandles() {
    SkipToTag("{handles}");
    std::size_t n = 0;
    while (current_ != "{/handles}") {
      Read("the closing line {/handles} of {handles}");
      NoteNearMiss("{/handles}", std::string::npos);
      if (current_ != "{/handles}") {
        if (n >= kHandleLines) {
          FailAtLine(
              "{handles} holds at most 2 lines (the window title and the close mode), "
              "found a third: " +
              Quoted(current_));
        }
        (n == 0 ? state_.WindowTitle : state_.CloseMode) = current_;
      }
      ++n;
    }
  }

  void ReadSequence(const std::string& name, KeySequence& sequence) {
    const std::string open = "{" + name + "}";
    const std::string close = "{/" + name + "}";
    SkipToTag(open);
    std::size_t n = 0;
    while (current_ != close) {
      Read("the closing line " + close + " of " + open);
      NoteNearMiss(close, std::string::npos);
      auto pieces = SplitAll(current_, '/');
      if (pieces.size() < 2) {
        FailAtLine("expected a step such as 13/down inside " + open + ", found " +
                   Quoted(current_));
      }
      if (n >= kSequenceSlots) {
        FailAtLine("too many steps in " + open + ": a sequence holds at most " +
                   std::to_string(kSequenceSlots - 1) + " steps before " + close);
      }
      const std::string action = Trim(pieces[1]);
      // A bad key would otherwise only show up halfway through the menu walk.
      if ((action == "down" || action == "up") && !ReadWholeNumber(pieces[0], 0, 255)) {
        FailAtLine("the key " + Quoted(pieces[0]) + " of the step " + Quoted(current_) + " in " +
                   open + " is not a virtual-key code from 0 to 255");
      }
      sequence[n].key = pieces[0];
      sequence[n].action = pieces[1];
      ++n;
    }
  }

  void ReadMiscDelay() {
    SkipUntil([](const std::string& line) { return Left(line, 5) == "timer"; }, 5, "timer",
              "a line starting with \"timer\" (the misc delay, such as timer=3000)");
    auto pieces = SplitAll(current_, '=');
    if (pieces.size() < 2) {
      FailAtLine("expected the misc delay such as timer=3000, found " + Quoted(current_));
    }
    auto number = ReadNumber(pieces[1]);
    auto delay = number ? ToInt32(*number) : std::nullopt;
    if (!delay) {
      FailAtLine("the misc delay " + Quoted(pieces[1]) +
                 " is not a number of milliseconds (expected timer=0 to timer=65535)");
    }
    if (*delay < 0 || *delay > kMaxTimerInterval) {
      FailAtLine("the misc delay " + std::to_string(*delay) +
                 " is outside 0 to 65535 milliseconds");
    }
    state_.MiscDelay = *delay;
  }

  void ReadGameList() {
    SkipToTag("{gamelist}");
    std::size_t n = 0;
    while (current_ != "{/gamelist}") {
      Read("the closing line {/gamelist} of {gamelist}");
      NoteNearMiss("{/gamelist}", std::string::npos);
      if (n >= kGameListSlots) {
        FailAtLine("too many lines in {gamelist}: the list holds at most " +
                   std::to_string(kGameListSlots - 1) + " games before {/gamelist}");
      }
      state_.GameList[n] = current_;
      ++n;
    }
  }

  void ReadEmulatorCommand() {
    SkipUntil([](const std::string& line) { return Left(line, 3) == "exe"; }, 3, "exe",
              "a line starting with \"exe\" (the emulator command, such as exe=emulator.exe)");
    auto pieces = SplitAll(current_, '=');
    if (pieces.size() < 2) {
      FailAtLine("expected the emulator command such as exe=emulator.exe, found " +
                 Quoted(current_));
    }
    state_.EmulatorCommand = pieces[1];
  }

  // Optional: free text after the exe line is skipped as before, up to
  // "{options}" or the end of the file.
  void ReadOptions() {
    while (reader_.Next(current_)) {
      if (current_ == "{options}") break;
    }
    if (current_ != "{options}") return;
    const int openedAt = reader_.LineNumber();
    std::map<std::string, int> seenAt;
    for (;;) {
      if (!reader_.Next(current_)) {
        throw ConfigFailure(std::string(kConfigFileName) + ": the file ended after line " +
                            std::to_string(reader_.LineNumber()) +
                            " without the line {/options} that closes {options} of line " +
                            std::to_string(openedAt) + ".");
      }
      if (current_ == "{/options}") {
        CheckOptionsTogether(seenAt);
        return;
      }
      if (current_.empty() || current_[0] == ';') continue;
      const std::size_t equals = current_.find('=');
      if (equals == std::string::npos) {
        FailAtLine("expected an option such as keydelay=60 inside {options}, found " +
                   Quoted(current_) + ". The options are: " + OptionNames());
      }
      const std::string name = Trim(current_.substr(0, equals));
      const std::string value = Trim(current_.substr(equals + 1));
      const OptionRow* row = FindOption(name);
      if (row == nullptr) {
        std::vector<std::string> names;
        for (const OptionRow& known : OptionTable()) names.emplace_back(known.name);
        const auto near = ClosestNames(name, names, 1);
        FailAtLine("unknown option " + Quoted(name) +
                   (near.empty() ? std::string() : " (did you mean " + near[0] + "?)") +
                   ". The options are: " + OptionNames());
      }
      auto [at, fresh] = seenAt.emplace(row->name, reader_.LineNumber());
      if (!fresh) {
        FailAtLine("the option " + std::string(row->name) + " is given twice (first on line " +
                   std::to_string(at->second) + ")");
      }
      if (auto problem = row->parse(value, state_.Options)) {
        FailAtLine("bad value " + Quoted(value) + " for " + row->name + ": " + *problem + " (" +
                   row->name + "=" + row->values + ")");
      }
    }
  }

  // Options that make sense only together; the error names the line of the
  // last one of them.
  void CheckOptionsTogether(const std::map<std::string, int>& seenAt) const {
    const auto conflict = CheckWalkOptions(state_.Options);
    if (!conflict) return;
    int line = 0;
    for (const char* option : conflict->options) {
      const auto at = seenAt.find(option);
      if (at != seenAt.end() && at->second > line) line = at->second;
    }
    FailAtLine(line, conflict->problem);
  }

  ConfigLineReader reader_;
  RunState& state_;
  std::string current_;
  std::string nearMiss_;
};

}  // namespace

std::string ConfigPath(const std::string& programDir) {
  return programDir + "\\" + kConfigFileName;
}

std::optional<std::string> ParseConfig(std::string_view bytes, RunState& state) {
  try {
    ConfigParser(bytes, state).Run();
  } catch (const ConfigFailure& failure) {
    return std::string(failure.what());
  }
  return std::nullopt;
}

void LoadConfig(Mainmod& m) {
  const std::string path = ConfigPath(m.Os.processes.ProgramDirectory());
  FileReadResult file = m.Os.files.ReadWholeFile(path);
  if (!file.ok) {
    Fatal(m, "Cannot read the configuration file " + path + ": " + file.error, kExitConfigError);
  }
  if (auto error = ParseConfig(file.bytes, m.State)) {
    Fatal(m, *error + "\n\nFile: " + path, kExitConfigError);
  }
}

}  // namespace ruskel
