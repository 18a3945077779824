#include "run_harness.h"

#include "core/config_loader.h"
#include "core/startup.h"

namespace ruskel {

std::optional<std::string> ParseConfig(std::string_view bytes, RunState& state) {
  static FakePlatform os;
  return ParseConfig(bytes, state, os);
}

}  // namespace ruskel

namespace ruskel::testing {
namespace {

void AppendSection(std::string& out, const std::string& name, const std::vector<std::string>& lines,
                   const std::string& eol) {
  out += "{" + name + "}" + eol;
  for (const std::string& line : lines) out += line + eol;
  out += "{/" + name + "}" + eol;
}

}  // namespace

std::string ConfigText::Build() const {
  std::string out;
  AppendSection(out, "handles", handles, eol);
  AppendSection(out, "startup", startup, eol);
  AppendSection(out, "selectsequence", select, eol);
  AppendSection(out, "entersequence", enter, eol);
  out += timer + eol;
  AppendSection(out, "misc", misc, eol);
  AppendSection(out, "gamelist", games, eol);
  out += exe + eol;
  if (!options.empty()) AppendSection(out, "options", options, eol);
  for (const std::string& line : tail) out += line + eol;
  return out;
}

std::vector<std::string> GamesWith(const std::string& name, std::size_t slot, std::size_t count) {
  std::vector<std::string> games;
  for (std::size_t i = 0; i < count; ++i) {
    games.push_back(i == slot ? name : "game" + std::to_string(i));
  }
  return games;
}

SimulatedRun::SimulatedRun() {
  os.files[os.programDir + "\\emulator.exe"] = "MZ";
}

void SimulatedRun::WriteConfig(const std::string& text) {
  os.files[ConfigPath(os.programDir)] = text;
}

void SimulatedRun::EmulatorWindowAppears(std::uint64_t at, std::uint64_t visibleAt) {
  os.AddWindow({kEmulatorWindow, kEmulatorProcess, "My Emulator", at, std::max(at, visibleAt)});
}

bool SimulatedRun::Start(const std::string& arguments) {
  os.argumentText = arguments;
  return os.RunMain([this] { Main(m); });
}

bool SimulatedRun::Begin(const ConfigText& config, const std::string& arguments,
                         std::uint64_t windowAt) {
  WriteConfig(config);
  EmulatorWindowAppears(windowAt);
  return Start(arguments);
}

std::string SimulatedRun::Keys() const {
  std::string out;
  for (const std::string& event : os.TraceOf("Key ")) {
    std::string token = event.substr(4);  // "13 down", maybe with " scan=0x1c ext"
    std::size_t blank = token.find(' ');
    std::string code = token.substr(0, blank);
    std::string rest = token.substr(blank + 1);
    rest = rest.substr(0, rest.find(' '));
    if (!out.empty()) out += ' ';
    out += code + (rest == "down" ? "d" : rest == "up" ? "u" : "?" + rest);
  }
  return out;
}

std::uint64_t TimeOf(const FakePlatform& os, const std::string& what, std::size_t nth) {
  for (const auto& event : os.events()) {
    if (event.what.rfind(what, 0) == 0 && nth-- == 0) return event.time;
  }
  return FakePlatform::kNever;
}

std::vector<std::uint64_t> KeyTimes(const FakePlatform& os) {
  std::vector<std::uint64_t> times;
  for (const auto& event : os.events()) {
    if (event.what.rfind("Key ", 0) == 0) times.push_back(event.time);
  }
  return times;
}

std::string Repeat(const std::string& keys, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) {
    if (!out.empty() && !keys.empty()) out += ' ';
    out += keys;
  }
  return out;
}

}  // namespace ruskel::testing
