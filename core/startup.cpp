#include "core/startup.h"

#include "core/command_line.h"
#include "core/config_loader.h"
#include "core/fatal.h"

namespace ruskel {

void Main(Mainmod& m) {
  m.State.UsageText = kUsageText;
  const std::string arguments = m.Os.ArgumentText();
  if (arguments.empty()) {
    m.Os.ShowMessage(m.State.UsageText, MessageKind::Information);
    EndRun(m, kExitUsage);
  }
  m.Form.Create();
  LoadConfig(m);
  // The loader has already refused delays outside what a timer accepts.
  m.Form.SetInterval(TimerId::misc, static_cast<std::uint32_t>(m.State.MiscDelay));
  ParseArgs(m.State, arguments);
  StartEmulator(m);
}

void StartEmulator(Mainmod& m) {
  const std::string programDir = m.Os.ProgramDirectory();
  ProcessStart start;
  start.workingDirectory = programDir + "\\";
  start.commandLine = programDir + "\\" + m.State.EmulatorCommand;
  start.inheritHandles = true;
  start.creationFlags = kNormalPriorityClass;
  ProcessStartResult result = m.Os.StartProcess(start);
  // Without this the wrapper would sit invisible, waiting for a window that never comes.
  if (!result.started) {
    Fatal(m,
          "Cannot start the emulator.\n\nCommand line: " + start.commandLine +
              "\nWorking directory: " + start.workingDirectory + "\nReason: " + result.error +
              "\n\nCheck the exe= line of " + ConfigPath(programDir) + ".",
          kExitStartError);
  }
  m.Form.Start(TimerId::Timkey);
}

}  // namespace ruskel
