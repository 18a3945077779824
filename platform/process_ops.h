// Processes: ruskel's own (its arguments, folder and end) and the emulator's.
#pragma once

#include <cstdint>
#include <string>

namespace ruskel {

using ProcessId = std::uint32_t;  // 0 means no process

inline constexpr std::uint32_t kNormalPriorityClass = 0x20;

struct ProcessStart {
  std::string applicationName;  // the program to run; empty: taken from the command line
  std::string commandLine;
  std::string workingDirectory;
  bool inheritHandles = false;
  std::uint32_t creationFlags = 0;
  bool killWithRuskel = false;  // end the process too if ruskel is ended by force
};

struct ProcessStartResult {
  bool started = false;
  ProcessId processId = 0;
  std::string error;            // the system's reason when not started
  bool needsElevation = false;  // refused because the program asks to run as administrator
  // With killWithRuskel: why the process could not be put in a job that ends
  // it with ruskel (empty when it was).
  std::string jobError;
};

// Whether a process waits for input, as WaitForInputIdle sees it.
enum class InputIdle {
  Idle,    // its GUI thread waits for input with nothing queued
  Busy,    // still starting up, or busy
  Unknown  // a console program, one without a message queue, or gone
};

// A process whose token ruskel may not read (an elevated one, from a
// standard user's ruskel): it runs above ruskel, at a level not known.
inline constexpr std::uint32_t kIntegrityDenied = 0xFFFFFFFFu;

// Whether this launch may go on: the launch guard of ruskel's folder is
// taken by it, or held by a run that is still on.
enum class LaunchClaim { Ours, AnotherRun };

class ProcessOps {
 public:
  virtual ~ProcessOps() = default;

  virtual std::string ArgumentText() = 0;      // command line after the program's name
  virtual std::string ProgramDirectory() = 0;  // no trailing backslash
  virtual ProcessStartResult StartProcess(const ProcessStart& start) = 0;
  // Ends ruskel. A process started with killWithRuskel is left running.
  [[noreturn]] virtual void EndProcess(int exitCode) = 0;

  virtual bool IsProcessRunning(ProcessId process) = 0;
  // Delivers one ProcessEnded event when the process ends (at once if it has
  // already ended). False when the process cannot be watched.
  virtual bool WatchProcess(ProcessId process) = 0;
  // True when process is ancestor itself or was started by it, directly or
  // through processes in between.
  virtual bool IsDescendantOf(ProcessId process, ProcessId ancestor) = 0;
  virtual ProcessId OwnProcess() = 0;
  // The process that started this one; 0 when unknown or gone.
  virtual ProcessId ParentProcess(ProcessId process) = 0;
  // The mandatory integrity level's RID (0x2000 medium, 0x3000 high); 0 when
  // it cannot be read; kIntegrityDenied when reading it was refused.
  virtual std::uint32_t IntegrityLevel(ProcessId process) = 0;
  // Ends a process and every process it started, directly or through
  // processes in between; false when the process itself could not be ended.
  virtual bool TerminateTree(ProcessId process) = 0;
  // Looks without waiting.
  virtual InputIdle ProcessInputIdle(ProcessId process) = 0;
  // Takes the launch guard of ruskel's folder for as long as this process
  // lives; Windows lets go of it however the process ends.
  virtual LaunchClaim ClaimLaunch() = 0;
};

}  // namespace ruskel
