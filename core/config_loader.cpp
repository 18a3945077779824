#include "core/config_loader.h"

#include <map>
#include <stdexcept>
#include <variant>

#include "core/closest_names.h"
#include "core/config_lines.h"
#include "core/game_selection.h"
#include "core/log_texts.h"
#include "core/number.h"
#include "core/options.h"
#include "core/text.h"
#include "core/walk_plan.h"
#include "core/walk_steps.h"

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
    std::string message = Compose<Say::ConfigAtLine>(kConfigFileName, line, what);
    if (!nearMiss_.empty()) message += " " + nearMiss_;
    throw ConfigFailure(message);
  }

  // The end of the file came while `awaited` was still to come.
  [[noreturn]] void FailAtEnd(const std::string& awaited) const {
    std::string message =
        reader_.LineNumber() == 0
            ? Compose<Say::ConfigEmpty>(kConfigFileName, awaited)
            : Compose<Say::ConfigEndedWithout>(kConfigFileName, reader_.LineNumber(), awaited);
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
      nearMiss_ = Compose<Say::ConfigNearMiss>(reader_.LineNumber(), Quoted(current_), wanted);
    }
  }

  void SkipToTag(const std::string& tag) {
    SkipUntil([&](const std::string& line) { return line == tag; }, std::string::npos, tag,
              Compose<Say::ConfigAwaitLine>(tag));
  }

  void ReadHandles() {
    SkipToTag("{handles}");
    std::size_t n = 0;
    while (current_ != "{/handles}") {
      Read(Compose<Say::ConfigAwaitClosing>("{/handles}", "{handles}"));
      NoteNearMiss("{/handles}", std::string::npos);
      if (current_ != "{/handles}") {
        if (n >= kHandleLines) {
          FailAtLine(Compose<Say::ConfigHandlesThirdLine>(Quoted(current_)));
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
      Read(Compose<Say::ConfigAwaitClosing>(close, open));
      NoteNearMiss(close, std::string::npos);
      const StepReading reading = ReadWalkStep(current_);
      if (const auto* error = std::get_if<StepError>(&reading)) {
        FailAtLine("the step " + Quoted(Trim(current_)) + " in " + open + ": " + error->problem);
      }
      if (const auto* step = std::get_if<WalkStep>(&reading)) {
        if (n >= kSequenceSlots) {
          FailAtLine("too many steps in " + open + ": a sequence holds at most " +
                     std::to_string(kSequenceSlots - 1) + " steps before " + close);
        }
        sequence[n].key = Trim(current_);
        sequence[n].action.clear();
        sequence[n].step = *step;
        sequence[n].step->line = reader_.LineNumber();
        ++n;
        continue;
      }
      auto pieces = SplitAll(current_, '/');
      if (pieces.size() < 2) {
        FailAtLine(Compose<Say::ConfigStepExpected>(open, Quoted(current_)));
      }
      if (n >= kSequenceSlots) {
        FailAtLine(Compose<Say::ConfigTooManySteps>(open, kSequenceSlots - 1, close));
      }
      const std::string action = Trim(pieces[1]);
      // A bad key would otherwise only show up halfway through the menu walk.
      if ((action == "down" || action == "up") && !ReadWholeNumber(pieces[0], 0, 255)) {
        FailAtLine(Compose<Say::ConfigBadStepKey>(Quoted(pieces[0]), Quoted(current_), open));
      }
      sequence[n].key = pieces[0];
      sequence[n].action = pieces[1];
      ++n;
    }
  }

  std::int32_t ReadMiscDelay() {
    SkipUntil([](const std::string& line) { return Left(line, 5) == "timer"; }, 5, "timer",
              Compose<Say::ConfigAwaitTimer>());
    auto pieces = SplitAll(current_, '=');
    if (pieces.size() < 2) {
      FailAtLine(Compose<Say::ConfigTimerExpected>(Quoted(current_)));
    }
    auto number = ReadNumber(pieces[1]);
    auto delay = number ? ToInt32(*number) : std::nullopt;
    if (!delay) {
      FailAtLine(Compose<Say::ConfigTimerNotANumber>(Quoted(pieces[1])));
    }
    if (*delay < 0 || *delay > kMaxTimerInterval) {
      FailAtLine(Compose<Say::ConfigTimerOutside>(*delay));
    }
    return *delay;
  }

  void ReadGameList() {
    SkipToTag("{gamelist}");
    std::size_t n = 0;
    while (current_ != "{/gamelist}") {
      Read(Compose<Say::ConfigAwaitClosing>("{/gamelist}", "{gamelist}"));
      NoteNearMiss("{/gamelist}", std::string::npos);
      if (n >= kGameListSlots) {
        FailAtLine(Compose<Say::ConfigTooManyGames>(kGameListSlots - 1));
      }
      state_.GameList[n] = current_;
      ++n;
    }
  }

  void ReadEmulatorCommand() {
    SkipUntil([](const std::string& line) { return Left(line, 3) == "exe"; }, 3, "exe",
              Compose<Say::ConfigAwaitExe>());
    auto pieces = SplitAll(current_, '=');
    if (pieces.size() < 2) {
      FailAtLine(Compose<Say::ConfigExeExpected>(Quoted(current_)));
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
        FailAtLine(Compose<Say::ConfigOptionsAfterGame>(state_.GameSections.front().line));
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
        throw ConfigFailure(Compose<Say::ConfigSectionUnclosed>(
            kConfigFileName, reader_.LineNumber(), close, open, openedAt));
      }
      if (current_ == close) return false;
      if (!current_.empty() && current_[0] != ';') return true;
    }
  }

  // "NAME = value" of the options table; returns the option's name.
  std::string ReadOptionLine(const std::string& section, SeenAt& seenAt, RunOptions& options) {
    const std::size_t equals = current_.find('=');
    if (equals == std::string::npos) {
      FailAtLine(Compose<Say::ConfigOptionExpected>(section, Quoted(current_), OptionNames()));
    }
    const std::string name = Trim(current_.substr(0, equals));
    const std::string value = Trim(current_.substr(equals + 1));
    const OptionRow* row = FindOption(name);
    if (row == nullptr) {
      std::vector<std::string> names;
      for (const OptionRow& known : OptionTable()) names.emplace_back(known.name);
      const auto near = ClosestNames(name, names, 1);
      FailAtLine(near.empty()
                     ? Compose<Say::ConfigUnknownOption>(Quoted(name), OptionNames())
                     : Compose<Say::ConfigUnknownOptionNear>(Quoted(name), near[0], OptionNames()));
    }
    NoteOnce(seenAt, row->name, Compose<Say::ConfigTheOption>(row->name));
    if (auto problem = row->parse(value, options)) {
      FailAtLine(
          Compose<Say::ConfigBadValue>(Quoted(value), row->name, *problem, row->name, row->values));
    }
    return row->name;
  }

  void NoteOnce(SeenAt& seenAt, const std::string& key, const std::string& what) const {
    auto [at, fresh] = seenAt.emplace(key, reader_.LineNumber());
    if (!fresh) {
      FailAtLine(Compose<Say::ConfigGivenTwice>(what, at->second));
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
        FailAtLine(Compose<Say::ConfigSecondGameSection>(Quoted(state_.GameList[earlier.slot]),
                                                         earlier.line));
      }
    }
    section.options = state_.Options;
    SeenAt seenAt;
    while (NextInSection(open, "{/game}", section.line)) {
      if (current_ == "{misc}") {
        NoteOnce(seenAt, "{misc}", Compose<Say::ConfigTheMiscSequence>());
        ReadSequence("misc", section.miscSeq.emplace());
      } else if (Left(current_, 5) == "timer") {
        NoteOnce(seenAt, "timer", Compose<Say::ConfigTheMiscDelay>());
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
      FailAtLine(Compose<Say::ConfigGameExpected>(Quoted(line)));
    }
    return name;
  }

  std::string NotListed(const std::string& name) const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < state_.GameList.size() && !state_.GameList[i].empty(); ++i) {
      if (state_.GameList[i] != "{/gamelist}") names.push_back(state_.GameList[i]);
    }
    const auto near = ClosestNames(LookupName(name), names, 3);
    std::string choices;
    for (std::size_t i = 0; i < near.size(); ++i) {
      if (i > 0) choices += i + 1 == near.size() ? " or " : ", ";
      choices += Quoted(near[i]);
    }
    return Compose<Say::ConfigGameNotListed>(name) +
           (near.empty() ? std::string() : Compose<Say::ConfigDidYouMean>(choices));
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
