#include "core/startup.h"

#include "core/command_line.h"
#include "core/config_loader.h"
#include "core/curtain.h"
#include "core/elevation.h"
#include "core/emulator_path.h"
#include "core/game_section.h"
#include "core/number.h"
#include "core/options.h"
#include "core/run_log.h"
#include "core/text.h"

namespace ruskel {
namespace {

constexpr const char* kRuskelVersion = RUSKEL_VERSION;

void LogArguments(Mainmod& m, const std::string& arguments) {
  const RunState& s = m.State;
  Log<Say::RunHeader>(m, m.Os.events.LocalDateTime(), kRuskelVersion);
  Log<Say::Arguments>(m, Quoted(arguments));
  // A text that gives no key or button is named: the run watches none then.
  const std::string key = s.ExitKey ? std::to_string(*s.ExitKey)
                          : s.ExitKeyText.empty()
                              ? Compose<Say::ExitInputNone>()
                              : Compose<Say::ExitInputNoneWhy>(WhyNoExitKey(s.ExitKeyText));
  const std::string button =
      s.ExitButton ? std::to_string(*s.ExitButton)
      : s.ExitButtonText.empty()
          ? Compose<Say::ExitInputNone>()
          : Compose<Say::ExitInputNoneWhy>(WhyNoExitButton(s.ExitButtonText));
  Log<Say::ExitInputs>(m, Quoted(s.RomName), key, button);
  std::string options;
  for (const std::string& option : DescribeOptions(s.Options)) {
    options += (options.empty() ? "" : ", ") + option;
  }
  Log<Say::Options>(m, options);
  if (s.GameSectionApplied >= 0) {
    const GameSection& section = s.GameSections[static_cast<std::size_t>(s.GameSectionApplied)];
    Log<Say::GameSectionApplied>(m, section.name, section.line, DescribeGameSection(section));
  }
}

}  // namespace

void Main(Mainmod& m) {
  m.State.UsageText = TextOf(Say::Usage);
  m.State.StartedAtMs = m.Os.events.NowMs();
  const std::string arguments = m.Os.processes.ArgumentText();
  // One launch at a time (a double press, a front end that launches twice);
  // known before anything touches what a run that is on holds.
  if (!arguments.empty()) {
    m.State.AnotherRunOn = m.Os.processes.ClaimLaunch() == LaunchClaim::AnotherRun;
  }
  // First, so that even a start that only shows the usage brings back the
  // cursors a forced end of a cursor=hide run left blank.
  m.Form.Create();
  if (arguments.empty()) {
    m.Os.dialogs.ShowMessage(m.State.UsageText, MessageKind::Information);
    m.Form.Finish({kExitUsage, Compose<Say::UsageShown>()});
  }
  LoadConfig(m);
  ParseArgs(m.State, arguments);
  // Before anything reads the options: the rom's section may set log= too.
  ApplyGameSection(m.State, m.Os.text);
  OpenRunLog(m);
  // The loader has already refused delays outside what a timer accepts.
  m.Form.SetInterval(TimerId::misc, static_cast<std::uint32_t>(m.State.MiscDelay));
  LogArguments(m, arguments);
  // No emulator, no key, no focus: the run that is on goes on untouched.
  if (m.State.AnotherRunOn) m.Form.Finish({kExitAnotherRun, Compose<Say::AnotherRunOn>()});
  StartEmulator(m);
}

EmulatorLaunch PrepareEmulatorStart(const RunState& s, const std::string& programDir,
                                    FileOps& files) {
  EmulatorLaunch launch;
  ProcessStart& start = launch.start;
  start.workingDirectory = programDir + "\\";
  start.inheritHandles = true;
  start.creationFlags = kNormalPriorityClass;
  start.killWithRuskel = s.Options.killwithruskel;
  // Never the path cut at a blank of ProgramDir, never a program elsewhere.
  launch.program =
      FindEmulatorProgram(programDir, s.EmulatorCommand,
                          [&files](const std::string& path) { return files.FileExists(path); });
  if (launch.program.found) {
    start.applicationName = launch.program.found->path;
    start.commandLine = launch.program.found->commandLine;
  }
  return launch;
}

void StartEmulator(Mainmod& m) {
  RunState& s = m.State;
  const std::string programDir = m.Os.processes.ProgramDirectory();
  EmulatorLaunch launch = PrepareEmulatorStart(s, programDir, m.Os.files);
  ProcessStart& start = launch.start;
  const ProgramLookup& program = launch.program;
  std::string reason;
  ProcessStartResult result;
  if (program.found) {
    RaiseCurtain(m);
    result = m.Os.processes.StartProcess(start);
    reason = result.error;
  } else {
    start.commandLine = programDir + "\\" + s.EmulatorCommand;
    std::string tried;
    for (const std::string& path : program.tried) {
      tried += ' ';
      tried += Quoted(path);
    }
    reason = Compose<Say::NoSuchProgram>(programDir, tried);
  }
  // Without this the wrapper would sit invisible, waiting for a window that never comes.
  if (!result.started && result.needsElevation) {
    m.Form.Finish(RunEnd::Error(kExitStartError, ElevationMessage(start.commandLine, true)));
  }
  if (!result.started) {
    m.Form.Finish(RunEnd::Error(kExitStartError,
                                Compose<Say::CannotStart>(start.commandLine, start.workingDirectory,
                                                          reason, ConfigPath(programDir))));
  }
  s.StartedProcess = result.processId;
  s.EmulatorStartedAtMs = m.Os.events.NowMs();
  Log<Say::Started>(m, start.commandLine, start.workingDirectory, result.processId);
  if (!result.jobError.empty()) {
    Log<Say::JobRefused>(m, result.jobError);
  }
  m.Form.BeginRun();
}

}  // namespace ruskel
