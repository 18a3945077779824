// ruskel-check: shows what ruskel.exe would do with an lconfig.ini and an
// argument text, without starting anything.
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <filesystem>
#endif

#include "tools/check/check_plan.h"
#include "tools/check/pitfalls.h"
#include "tools/check/plan_report.h"

namespace {

constexpr const char* kUsageMessage =
    "usage: ruskel-check path/to/lconfig.ini [arguments as ruskel.exe gets them]\n"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::fputs(kUsageMessage, argc < 2 ? stderr : stdout);
    return argc < 2 ? ruskel::check::kCheckUsage : ruskel::check::kCheckFileFine;
  }
  ruskel::check::CheckInput input;
  input.configFile = argv[1];
  input.programDir = ProgramDirFor(input.configFile);
  // The shell has split the text; ParseArgs trims every option, so single
  // blanks give the same result.
  for (int i = 2; i < argc; ++i) {
    if (i > 2) input.argumentText += ' ';
    input.argumentText += argv[i];
  }

  const ruskel::check::CheckPlan plan = ruskel::check::BuildPlan(input);
  if (plan.exitCode != ruskel::check::kCheckFileFine) {
    std::fputs(ruskel::check::FormatError(plan).c_str(), stderr);
    return plan.exitCode;
  }
  const auto warnings = ruskel::check::FindPitfalls(plan);
  std::fputs(ruskel::check::FormatPlan(plan, input.argumentText, warnings).c_str(), stdout);
  return plan.exitCode;
}
