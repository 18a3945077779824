// Whether a job that ends the emulator together with ruskel can be made here:
// tried on a copy of this program that is started suspended and never runs.
#include <string>
#include <vector>

#include "platform/win32_platform.h"
#include "tools/check/probes/win32_system_probe.h"

namespace ruskel {
namespace {

constexpr DWORD kEndWaitMs = 2000;

std::string LastError(const char* step) {
  return std::string(step) + ": " + SystemErrorText(GetLastError());
}

}  // namespace

JobAnswer Win32SystemProbe::Job() {
  JobAnswer answer;
  BOOL inJob = FALSE;
  // A front end, Task Scheduler or a remote session may run ruskel inside a
  // job; before Windows 8 a process can belong to one job only.
  if (IsProcessInJob(GetCurrentProcess(), nullptr, &inJob)) answer.inJob = inJob != FALSE;
  if (answer.inJob) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION outer{};
    // A null job handle asks about the job this process is in.
    if (QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &outer, sizeof outer,
                                  nullptr)) {
      const DWORD limits = outer.BasicLimitInformation.LimitFlags;
      answer.outerAllowsBreakaway =
          (limits & (JOB_OBJECT_LIMIT_BREAKAWAY_OK | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK)) != 0;
    }
  }

  // The same job ruskel makes for killwithruskel=on.
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job == nullptr) {
    answer.failure = LastError("CreateJobObject");
    return answer;
  }
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  answer.created = SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                           sizeof limits) != FALSE;
  if (!answer.created) {
    answer.failure = LastError("SetInformationJobObject");
    CloseHandle(job);
    return answer;
  }

  // Started as ruskel starts the emulator (suspended, then assigned), but
  // never resumed: the copy runs no instruction of its own.
  const std::string self = OwnProgramPath();
  std::string commandLine = "\"" + self + "\"";
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Outside the outer job where it allows that, as ruskel starts the
  // emulator; inside when refused all the same.
  const DWORD breakaway = JobBreakawayFlag();
  const auto start = [&](DWORD flags) {
    return CreateProcessA(self.c_str(), line.data(), nullptr, nullptr, FALSE,
                          CREATE_SUSPENDED | CREATE_NO_WINDOW | flags, nullptr, nullptr, &startup,
                          &process) != FALSE;
  };
  answer.testStarted = start(breakaway);
  if (!answer.testStarted && breakaway != 0 && GetLastError() == ERROR_ACCESS_DENIED) {
    answer.testStarted = start(0);
  }
  if (!answer.testStarted) {
    answer.failure = LastError("CreateProcess");
    CloseHandle(job);
    return answer;
  }
  answer.assigned = AssignProcessToJobObject(job, process.hProcess) != FALSE;
  if (!answer.assigned) answer.failure = LastError("AssignProcessToJobObject");
  // Closing the last handle of a kill-on-close job ends what it holds, as
  // when ruskel is ended by force.
  CloseHandle(job);
  if (answer.assigned) {
    answer.endedWithJob = WaitForSingleObject(process.hProcess, kEndWaitMs) == WAIT_OBJECT_0;
    if (!answer.endedWithJob) answer.failure = "closing the job did not end the process in it";
  }
  if (!answer.endedWithJob) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kEndWaitMs);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return answer;
}

}  // namespace ruskel
