#include "core/config_loader.h"

#include <map>
#include <stdexcept>

#include "core/closest_names.h"
#include "core/config_lines.h"
#include "core/game_selection.h"
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
  ConfigParser(std::string_view bytes, RunState& state, TextOps& text)
      : reader_(bytes), state_(state), text_(text) {}

  void Run() {
    ReadHandles();
    ReadSequence("startup", state_.StartupSeq);
    ReadSequence("selectsequence", state_.SelectSeq);
    ReadSequence("entersequence", state_.EnterSeq);
    state_.MiscDelay = ReadMiscDelay();
    ReadSequence("misc", state_.MiscSeq);
    ReadGameList();
    ReadEmulatorCommand();
    // Optional, after free text: {options}, then a {game NAME} section per rom.
    while (NextOptionalPart()) {
      if (current_ == "{options}") {
        ReadOptions();
      } else {
        ReadGameSection();
      }
    }
  }

 private:
  using SeenAt = std::map<std::string, int>;

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
    if (!nearMiss_.empty()) message += " " + nearMiss_;
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

  std::int32_t ReadMiscDelay() {
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
    return *delay;
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

  // Free text up to the next optional part is skipped, as it always was
  // after the exe line; false at the end of the file.
  bool NextOptionalPart() {
    while (reader_.Next(current_)) {
      if (IsGameOpening(current_)) return true;
      if (current_ != "{options}") continue;
      // Its options would otherwise be lost without a word.
      if (!state_.GameSections.empty()) {
        FailAtLine("{options} must come before the first {game} section (line " +
                   std::to_string(state_.GameSections.front().line) + ")");
      }
      if (!optionsRead_) return true;
    }
    return false;
  }

  static bool IsGameOpening(const std::string& line) {
    return line == "{game}" || line.rfind("{game ", 0) == 0;
  }

  void ReadOptions() {
    optionsRead_ = true;
    const int openedAt = reader_.LineNumber();
    SeenAt seenAt;
    while (NextInSection("{options}", "{/options}", openedAt)) {
      ReadOptionLine("{options}", seenAt, state_.Options);
    }
    CheckOptionsTogether(state_.Options, seenAt, openedAt);
  }

  // The next line of a section that is neither blank nor a comment; false at
  // its closing line.
  bool NextInSection(const std::string& open, const std::string& close, int openedAt) {
    for (;;) {
      if (!reader_.Next(current_)) {
        throw ConfigFailure(std::string(kConfigFileName) + ": the file ended after line " +
                            std::to_string(reader_.LineNumber()) + " without the line " + close +
                            " that closes " + open + " of line " + std::to_string(openedAt) + ".");
      }
      if (current_ == close) return false;
      if (!current_.empty() && current_[0] != ';') return true;
    }
  }

  // "NAME = value" of the options table; returns the option's name.
  std::string ReadOptionLine(const std::string& section, SeenAt& seenAt, RunOptions& options) {
    const std::size_t equals = current_.find('=');
    if (equals == std::string::npos) {
      FailAtLine("expected an option such as keydelay=60 inside " + section + ", found " +
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
    NoteOnce(seenAt, row->name, "the option " + row->name);
    if (auto problem = row->parse(value, options)) {
      FailAtLine("bad value " + Quoted(value) + " for " + row->name + ": " + *problem + " (" +
                 row->name + "=" + row->values + ")");
    }
    return row->name;
  }

  void NoteOnce(SeenAt& seenAt, const std::string& key, const std::string& what) const {
    auto [at, fresh] = seenAt.emplace(key, reader_.LineNumber());
    if (!fresh) {
      FailAtLine(what + " is given twice (first on line " + std::to_string(at->second) + ")");
    }
  }

  // Options that make sense only together; the error names the line of the
  // last one of them in this section, or the section's first line when the
  // section set none of them.
  void CheckOptionsTogether(const RunOptions& options, const SeenAt& seenAt, int openedAt) const {
    const auto conflict = CheckWalkOptions(options);
    if (!conflict) return;
    int line = 0;
    for (const char* option : conflict->options) {
      const auto at = seenAt.find(option);
      if (at != seenAt.end() && at->second > line) line = at->second;
    }
    FailAtLine(line == 0 ? openedAt : line, conflict->problem);
  }

  // One rom's own values over the file's: option lines, and its own misc
  // delay and sequence in the formats of the top of the file.
  void ReadGameSection() {
    GameSection section;
    section.line = reader_.LineNumber();
    section.name = GameNameOf(current_);
    const std::string open = "{game " + section.name + "}";
    section.slot = GameSlot(state_, text_, section.name);
    if (section.slot < 0) FailAtLine(NotListed(section.name));
    for (const GameSection& earlier : state_.GameSections) {
      if (earlier.slot == section.slot) {
        FailAtLine("a second {game} section for " + Quoted(state_.GameList[earlier.slot]) +
                   " (the first is on line " + std::to_string(earlier.line) + ")");
      }
    }
    section.options = state_.Options;
    SeenAt seenAt;
    while (NextInSection(open, "{/game}", section.line)) {
      if (current_ == "{misc}") {
        NoteOnce(seenAt, "{misc}", "the misc sequence {misc}");
        ReadSequence("misc", section.miscSeq.emplace());
      } else if (Left(current_, 5) == "timer") {
        NoteOnce(seenAt, "timer", "the misc delay");
        section.miscDelay = ReadMiscDelay();
      } else {
        section.optionsSet.push_back(ReadOptionLine(open, seenAt, section.options));
      }
    }
    CheckOptionsTogether(section.options, seenAt, section.line);
    state_.GameSections.push_back(std::move(section));
  }

  std::string GameNameOf(const std::string& line) const {
    const std::string name = line.back() == '}' ? Trim(line.substr(5, line.size() - 6)) : "";
    if (name.empty()) {
      FailAtLine("expected a game of the list such as {game mygame}, found " + Quoted(line));
    }
    return name;
  }

  std::string NotListed(const std::string& name) const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < state_.GameList.size() && !state_.GameList[i].empty(); ++i) {
      if (state_.GameList[i] != "{/gamelist}") names.push_back(state_.GameList[i]);
    }
    std::string message = "{game " + name + "} names no game of {gamelist}";
    const auto near = ClosestNames(LookupName(name), names, 3);
    for (std::size_t i = 0; i < near.size(); ++i) {
      message += i == 0 ? " (did you mean " : i + 1 == near.size() ? " or " : ", ";
      message += Quoted(near[i]);
    }
    return message + (near.empty() ? "" : "?)");
  }

  ConfigLineReader reader_;
  RunState& state_;
  TextOps& text_;
  bool optionsRead_ = false;
  std::string current_;
  std::string nearMiss_;
};

}  // namespace

std::string ConfigPath(const std::string& programDir) {
  return programDir + "\\" + kConfigFileName;
}

std::optional<std::string> ParseConfig(std::string_view bytes, RunState& state, TextOps& text) {
  try {
    ConfigParser(bytes, state, text).Run();
  } catch (const ConfigFailure& failure) {
    return std::string(failure.what());
  }
  return std::nullopt;
}

void LoadConfig(Mainmod& m) {
  const std::string path = ConfigPath(m.Os.processes.ProgramDirectory());
  FileReadResult file = m.Os.files.ReadWholeFile(path);
  if (!file.ok) {
    m.Form.Finish(
        RunEnd::Error(kExitConfigError, Compose<Say::CannotReadConfig>(path, file.error)));
  }
  if (auto error = ParseConfig(file.bytes, m.State, m.Os.text)) {
    m.Form.Finish(RunEnd::Error(kExitConfigError, Compose<Say::ConfigError>(*error, path)));
  }
}

}  // namespace ruskel
