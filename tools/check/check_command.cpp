#include "tools/check/check_command.h"

#include "platform/argument_text.h"

namespace ruskel::check {

CheckCommand ReadCheckCommand(const std::vector<std::string>& args,
                              std::optional<std::string_view> rawCommandLine) {
  CheckCommand command;
  if (args.empty()) return command;
  if (args[0] == "--help" || args[0] == "-h") {
    command.kind = CheckCommand::Kind::Help;
    return command;
  }
  if (args[0] == "--options") {
    if (args.size() == 1) command.kind = CheckCommand::Kind::Options;
    return command;
  }
  if (args[0] == "--watch-pads") {
    if (args.size() == 1) command.kind = CheckCommand::Kind::WatchPads;
    return command;
  }
  if (args[0] == "--pixel") {
    if (args.size() < 2) return command;
    // The rest as --windows reads it, with the switch and the point cut off.
    std::optional<std::string> rest;
    if (rawCommandLine) rest = CutProgramName(CutProgramName(*rawCommandLine));
    if (args.size() > 2) {
      command = ReadCheckCommand(std::vector<std::string>(args.begin() + 2, args.end()), rest);
      if (command.kind != CheckCommand::Kind::Check) return command;
    }
    command.kind = CheckCommand::Kind::Pixel;
    command.point = args[1];
    return command;
  }
  if (args[0] == "--system" || args[0] == "--windows") {
    const auto kind =
        args[0] == "--system" ? CheckCommand::Kind::System : CheckCommand::Kind::Windows;
    if (args.size() == 1) {
      command.kind = kind;
      return command;
    }
    // The rest as a check reads it, with the switch cut off the raw line as
    // if it were the program's name.
    std::optional<std::string> rest;
    if (rawCommandLine) rest = CutProgramName(*rawCommandLine);
    command = ReadCheckCommand(std::vector<std::string>(args.begin() + 1, args.end()), rest);
    if (command.kind == CheckCommand::Kind::Check) command.kind = kind;
    return command;
  }
  command.configFile = args[0];
  if (args.size() >= 2 && args[1] == "--args") {
    if (args.size() != 3) return command;  // the text must be one argument
    command.argumentText = args[2];
  } else if (rawCommandLine) {
    // The file's path is cut off as the program's name is: a quoted path ends
    // at its closing quote, an unquoted one at the first blank or tab.
    command.argumentText = CutProgramName(CutProgramName(*rawCommandLine));
  } else {
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (i > 1) command.argumentText += ' ';
      command.argumentText += args[i];
    }
  }
  command.kind = CheckCommand::Kind::Check;
  return command;
}

}  // namespace ruskel::check
