// ruskel-check: shows what ruskel.exe would do with an lconfig.ini and an
// argument text, without starting anything.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#endif

#include "tools/check/check_command.h"
#include "tools/check/check_plan.h"
#include "tools/check/option_table.h"
#include "tools/check/pitfalls.h"
#include "tools/check/plan_report.h"

namespace {

constexpr const char* kUsageMessage =
    "usage: ruskel-check path/to/lconfig.ini [arguments as ruskel.exe gets them]\n"
    "       ruskel-check path/to/lconfig.ini --args \"arguments as one text\"\n"
    "       ruskel-check --options   (every option of {options}: values, default, what it does)\n"
    "  e.g. ruskel-check lconfig.ini -mygame -keyx27 -butx4\n"
    "exit code: 0 the file is fine (warnings included), 2 ruskel.exe would refuse it,\n"
    "           1 this usage\n";

// ProgramDir as ruskel.exe builds it: on Windows the full path of the folder,
// elsewhere the folder as given.
std::string ProgramDirFor(const std::string& configFile) {
#ifdef _WIN32
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(configFile, error);
  if (!error) return ruskel::check::ProgramDirOf(full.make_preferred().string());
#endif
  return ruskel::check::ProgramDirOf(configFile);
}

// The command line as the system keeps it, where there is one.
std::optional<std::string_view> RawCommandLine() {
#ifdef _WIN32
  return std::string_view(GetCommandLineA());
#else
  return std::nullopt;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  using ruskel::check::CheckCommand;
  const CheckCommand command = ruskel::check::ReadCheckCommand(
      std::vector<std::string>(argv + 1, argv + argc), RawCommandLine());
  if (command.kind == CheckCommand::Kind::Options) {
    std::fputs(ruskel::check::FormatOptionTable().c_str(), stdout);
    return ruskel::check::kCheckFileFine;
  }
  if (command.kind != CheckCommand::Kind::Check) {
    const bool help = command.kind == CheckCommand::Kind::Help;
    std::fputs(kUsageMessage, help ? stdout : stderr);
    return help ? ruskel::check::kCheckFileFine : ruskel::check::kCheckUsage;
  }
  ruskel::check::CheckInput input;
  input.configFile = command.configFile;
  input.programDir = ProgramDirFor(input.configFile);
  input.argumentText = command.argumentText;

  const ruskel::check::CheckPlan plan = ruskel::check::BuildPlan(input);
  if (plan.exitCode != ruskel::check::kCheckFileFine) {
    std::fputs(ruskel::check::FormatError(plan).c_str(), stderr);
    return plan.exitCode;
  }
  const auto warnings = ruskel::check::FindPitfalls(plan);
  std::fputs(ruskel::check::FormatPlan(plan, input.argumentText, warnings).c_str(), stdout);
  return plan.exitCode;
}
