// ruskel-check: shows what ruskel.exe would do with an lconfig.ini and an
// argument text, without starting anything.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32_platform.h"
#include "tools/check/probes/win32_console_keys.h"
#include "tools/check/probes/win32_system_probe.h"
#endif

#include "tools/check/check_command.h"
#include "tools/check/check_plan.h"
#include "tools/check/emulator_report.h"
#include "tools/check/option_table.h"
#include "tools/check/pad_watch.h"
#include "tools/check/pitfalls.h"
#include "tools/check/pixel_check.h"
#include "tools/check/plan_report.h"
#include "tools/check/system_report.h"
#include "tools/check/window_check.h"

namespace {

constexpr const char* kUsageMessage =
    "usage: ruskel-check path\\to\\lconfig.ini [arguments as ruskel.exe gets them]\n"
    "       ruskel-check path\\to\\lconfig.ini --args \"arguments as one text\"\n"
    "       ruskel-check --system [path\\to\\lconfig.ini [arguments]]  (on the cabinet)\n"
    "       ruskel-check --windows [path\\to\\lconfig.ini [arguments]]  (starts the emulator,\n"
    "                 lists its windows and the rule that takes each, closes it)\n"
    "       ruskel-check --pixel X,Y [path\\to\\lconfig.ini [arguments]]  (the colour at X,Y of\n"
    "                 the running emulator's client area, as a \"wait pixel\" line takes it)\n"
    "       ruskel-check --watch-pads  (shows the -butx of the buttons held, until Esc)\n"
    "       ruskel-check --options   (every option of {options}: values, default, what it does)\n"
    "  e.g. ruskel-check lconfig.ini -mygame -keyx27 -butx4\n"
    "exit code: 0 the file is fine (warnings included), 2 ruskel.exe would refuse it,\n"
    "           1 this usage; --system: 0 no problem, 2 at least one problem\n";

// ProgramDir as ruskel.exe builds it: on Windows the full path of the folder,
// elsewhere the folder as given.
std::string ProgramDirFor(const std::string& configFile) {
#ifdef _WIN32
  // The system's own call: std::filesystem brought its locale machinery with
  // it, over half of this exe.
  const DWORD size = GetFullPathNameA(configFile.c_str(), 0, nullptr, nullptr);
  if (size > 0) {
    std::string full(size, '\0');
    const DWORD length = GetFullPathNameA(configFile.c_str(), size, full.data(), nullptr);
    if (length > 0 && length < size) {
      full.resize(length);
      return ruskel::check::ProgramDirOf(full);
    }
  }
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

#ifdef _WIN32
// --windows: the emulator of the file, started, its windows listed, closed.
int CheckWindowsHere(const ruskel::check::CheckInput& input) {
  const ruskel::check::CheckPlan plan = ruskel::check::BuildPlan(input);
  if (plan.exitCode != ruskel::check::kCheckFileFine) {
    std::fputs(ruskel::check::FormatError(plan).c_str(), stderr);
    return plan.exitCode;
  }
  ruskel::Win32Platform os;
  ruskel::ConsoleKeys keys;
  ruskel::check::WindowCheckIo io;
  io.print = [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);  // live, also into a pipe
  };
  io.keyPressed = [&keys] { return keys.Pressed(); };
  return ruskel::check::CheckWindows(*plan.state, os, input.programDir, io);
}

// --pixel: the colour at a point of the running emulator's window.
int CheckPixelHere(const ruskel::check::CheckInput& input, const std::string& point) {
  const ruskel::check::CheckPlan plan = ruskel::check::BuildPlan(input);
  if (plan.exitCode != ruskel::check::kCheckFileFine) {
    std::fputs(ruskel::check::FormatError(plan).c_str(), stderr);
    return plan.exitCode;
  }
  ruskel::Win32Platform os;
  return ruskel::check::CheckPixel(
      *plan.state, os, point, [](const std::string& line) { std::printf("%s\n", line.c_str()); });
}
#endif

// --system, --windows, --pixel and --watch-pads look at the machine itself.
int RunOnThisMachine(const ruskel::check::CheckCommand& command) {
#ifdef _WIN32
  using ruskel::check::CheckCommand;
  ruskel::Win32SystemProbe probe;
  if (command.kind == CheckCommand::Kind::WatchPads) {
    ruskel::check::WatchPads(probe, [](const std::string& line) {
      std::fputs((line + "\n").c_str(), stdout);
      std::fflush(stdout);  // live, also into a pipe
    });
    return 0;
  }
  ruskel::check::CheckInput input;
  // By default the file beside the checker, which stands beside ruskel.exe.
  input.configFile = command.configFile.empty()
                         ? ruskel::check::ProgramDirOf(ruskel::OwnProgramPath()) + "\\lconfig.ini"
                         : command.configFile;
  input.programDir = ProgramDirFor(input.configFile);
  input.argumentText = command.argumentText;
  if (command.kind == CheckCommand::Kind::Windows) return CheckWindowsHere(input);
  if (command.kind == CheckCommand::Kind::Pixel) return CheckPixelHere(input, command.point);
  const auto lines = ruskel::check::BuildSystemReport(probe, input);
  std::fputs(ruskel::check::FormatSystemReport(input.configFile, lines).c_str(), stdout);
  return ruskel::check::SystemExitCode(lines);
#else
  (void)command;
  std::fputs(
      "ruskel-check: --system, --windows, --pixel and --watch-pads look at the Windows machine "
      "ruskel runs on; run them there (ruskel-check.exe).\n",
      stderr);
  return ruskel::check::kCheckUsage;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  using ruskel::check::CheckCommand;
  const CheckCommand command = ruskel::check::ReadCheckCommand(
      std::vector<std::string>(argv + 1, argv + argc), RawCommandLine());
  if (command.kind == CheckCommand::Kind::System || command.kind == CheckCommand::Kind::WatchPads ||
      command.kind == CheckCommand::Kind::Windows || command.kind == CheckCommand::Kind::Pixel) {
    return RunOnThisMachine(command);
  }
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
  auto warnings = ruskel::check::FindPitfalls(plan);
#ifdef _WIN32
  ruskel::Win32SystemProbe probe;
  for (std::string& warning : ruskel::check::EmulatorWarnings(probe, input, plan)) {
    warnings.push_back(std::move(warning));
  }
#endif
  std::fputs(ruskel::check::FormatPlan(plan, input.argumentText, warnings).c_str(), stdout);
  return plan.exitCode;
}
