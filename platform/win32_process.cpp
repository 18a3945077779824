// Starting, following and ending processes on Windows, and ruskel's own
// command line and end.
#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "platform/argument_text.h"
#include "platform/win32_platform.h"

namespace ruskel {

// ERROR_ELEVATION_REQUIRED; older mingw-w64 headers lack the name.
constexpr DWORD kErrorElevationRequired = 740;

// The emulator gets a STARTUPINFO of 68 bytes, the size of the 32-bit record;
// a 64-bit build passes its own, larger record.
#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68, "the 32-bit STARTUPINFO record is 68 bytes");
#endif

std::string SystemErrorText(unsigned long errorCode) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = length > 0 && buffer != nullptr ? std::string(buffer, length) : std::string();
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.empty()) text = "system error " + std::to_string(errorCode);
  return text;
}

std::string Win32Platform::ArgumentText() {
  return CutProgramName(GetCommandLineA());
}

std::string Win32Platform::ProgramDirectory() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      std::string full(path.data(), length);
      std::size_t slash = full.find_last_of('\\');
      return slash == std::string::npos ? std::string() : full.substr(0, slash);
    }
    path.resize(path.size() * 2);  // truncated: long path
  }
}

namespace {

// Processes ruskel starts may start programs of their own outside the job:
// refusing would break emulators that ask to.
constexpr DWORD kJobLimits = JOB_OBJECT_LIMIT_BREAKAWAY_OK;

bool CreateSuspended(const char* application, std::vector<char>& commandLine, BOOL inherit,
                     DWORD flags, const char* directory, PROCESS_INFORMATION& info) {
  STARTUPINFOA startupInfo{};
  startupInfo.cb = sizeof(STARTUPINFOA);
  return CreateProcessA(application, commandLine.data(), nullptr, nullptr, inherit,
                        flags | CREATE_SUSPENDED, nullptr, directory, &startupInfo, &info) != FALSE;
}

bool SetJobLimits(HANDLE job, DWORD limits) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
  info.BasicLimitInformation.LimitFlags = limits;
  return SetInformationJobObject(job, JobObjectExtendedLimitInformation, &info, sizeof info) !=
         FALSE;
}

// When a process was created; false when that cannot be told.
bool CreationTime(HANDLE process, ULONGLONG& time) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
  time = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  return true;
}

}  // namespace

unsigned long JobBreakawayFlag() {
  BOOL inJob = FALSE;
  if (!IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) || !inJob) return 0;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION outer{};
  // A null job handle asks about the job this process is in.
  if (!QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &outer, sizeof outer,
                                 nullptr)) {
    return 0;
  }
  // "Process Creation Flags", learn.microsoft.com/windows/win32/procthread/
  // process-creation-flags: the flag needs JOB_OBJECT_LIMIT_BREAKAWAY_OK.
  return (outer.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_BREAKAWAY_OK) != 0
             ? CREATE_BREAKAWAY_FROM_JOB
             : 0;
}

ProcessStartResult Win32Platform::StartProcess(const ProcessStart& start) {
  PROCESS_INFORMATION processInfo{};
  std::vector<char> commandLine(start.commandLine.begin(), start.commandLine.end());
  commandLine.push_back('\0');  // CreateProcessA may write into it

  // Lets the emulator bring its own window to the front as well.
  AllowSetForegroundWindow(ASFW_ANY);

  ProcessStartResult result;
  // Started suspended, so that it is in the job before it can start anything.
  const char* application = start.applicationName.empty() ? nullptr : start.applicationName.c_str();
  const BOOL inherit = start.inheritHandles ? TRUE : FALSE;
  const char* directory = start.workingDirectory.c_str();
  // For its own job the emulator starts outside the one ruskel may run in,
  // where that one allows it; refused all the same, it starts inside.
  const DWORD breakaway = start.killWithRuskel ? JobBreakawayFlag() : 0;
  result.started = CreateSuspended(application, commandLine, inherit,
                                   start.creationFlags | breakaway, directory, processInfo);
  if (!result.started && breakaway != 0 && GetLastError() == ERROR_ACCESS_DENIED) {
    result.started = CreateSuspended(application, commandLine, inherit, start.creationFlags,
                                     directory, processInfo);
  }
  if (!result.started) {
    const DWORD error = GetLastError();
    result.error = SystemErrorText(error);
    result.needsElevation = error == kErrorElevationRequired;
    return result;
  }

  // A job only when asked: on Windows 7 an emulator in a job cannot use jobs
  // of its own, and ruskel's family is found by the parent chain as well.
  if (start.killWithRuskel) {
    if (job_ == nullptr) job_ = CreateJobObjectA(nullptr, nullptr);
    if (job_ != nullptr && !jobKillsOnClose_) {
      jobKillsOnClose_ =
          SetJobLimits(static_cast<HANDLE>(job_), kJobLimits | JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE);
    }
    // Fails when ruskel itself runs in a job that allows no other (Windows 7).
    if (job_ == nullptr || !jobKillsOnClose_) {
      result.jobError = SystemErrorText(GetLastError());
    } else if (!AssignProcessToJobObject(static_cast<HANDLE>(job_), processInfo.hProcess)) {
      result.jobError = SystemErrorText(GetLastError());
    } else {
      jobHolds_.push_back(processInfo.dwProcessId);
    }
  }
  ResumeThread(processInfo.hThread);
  CloseHandle(processInfo.hThread);

  result.processId = processInfo.dwProcessId;
  // Kept open for the whole run: the pid then stays this process's.
  auto old = processHandles_.find(result.processId);
  if (old != processHandles_.end()) CloseHandle(static_cast<HANDLE>(old->second));
  processHandles_[result.processId] = processInfo.hProcess;
  return result;
}

void Win32Platform::EndProcess(int exitCode) {
  // A normal end leaves the emulator running whatever the job says.
  LetStartedProcessesOutlive();
  ExitProcess(static_cast<UINT>(exitCode));
}

void Win32Platform::LetStartedProcessesOutlive() {
  if (job_ != nullptr && jobKillsOnClose_ && SetJobLimits(static_cast<HANDLE>(job_), kJobLimits)) {
    jobKillsOnClose_ = false;
  }
}

void Win32Platform::OnSessionEnding() {
  // Windows may end ruskel as soon as WM_ENDSESSION returns; kill-on-close
  // would then end the emulator while it writes its saves. It gets its own
  // WM_ENDSESSION from Windows and saves and quits by itself.
  LetStartedProcessesOutlive();
  OnCloseRequest();
}

bool Win32Platform::IsProcessRunning(ProcessId process) {
  if (process == 0) return false;
  HANDLE handle = static_cast<HANDLE>(ProcessHandle(process));
  if (handle == nullptr) {
    // A process ruskel may not look at (another user's, elevated) still runs.
    return GetLastError() == ERROR_ACCESS_DENIED;
  }
  return WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
}

namespace {

bool TerminateOne(DWORD process) {
  HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process);
  if (handle == nullptr) return false;
  const bool ended = ::TerminateProcess(handle, 1) != FALSE;
  CloseHandle(handle);
  return ended;
}

bool CreationTimeOf(DWORD process, ULONGLONG& time) {
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (handle == nullptr) return false;
  const bool known = CreationTime(handle, time);
  CloseHandle(handle);
  return known;
}

// Every process started by root, directly or through others, from one
// snapshot. A parent's pid may have been reused: a child counts only when it
// was created after its parent.
std::vector<DWORD> DescendantsOf(DWORD root) {
  std::vector<std::pair<DWORD, DWORD>> links;  // process, parent
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    links.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
  }
  CloseHandle(snapshot);
  std::vector<DWORD> family{root};
  for (std::size_t next = 0; next < family.size(); ++next) {
    ULONGLONG parentCreated = 0;
    if (!CreationTimeOf(family[next], parentCreated)) continue;
    for (const auto& [process, parent] : links) {
      ULONGLONG created = 0;
      if (parent != family[next] || process == parent ||
          std::find(family.begin(), family.end(), process) != family.end() ||
          !CreationTimeOf(process, created) || created < parentCreated) {
        continue;
      }
      family.push_back(process);
    }
  }
  family.erase(family.begin());
  return family;
}

}  // namespace

bool Win32Platform::TerminateTree(ProcessId process) {
  if (process == 0) return false;
  // The job holds everything ruskel started there, whatever it started since.
  HANDLE handle = static_cast<HANDLE>(ProcessHandle(process));
  BOOL inJob = FALSE;
  if (job_ != nullptr && handle != nullptr &&
      IsProcessInJob(handle, static_cast<HANDLE>(job_), &inJob) && inJob &&
      TerminateJobObject(static_cast<HANDLE>(job_), 1)) {
    return true;
  }
  // Otherwise its descendants, found while the parent chain is still whole,
  // then the process itself.
  for (DWORD other : DescendantsOf(process)) TerminateOne(other);
  return TerminateOne(process);
}

namespace {

// Every running process's parent pid, as the system noted it at its start.
// A sorted list rather than a hash map: a few hundred processes, and the
// hash table's code is a tenth of the exe's growth budget.
class ParentTable {
 public:
  ParentTable() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
      links_.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    }
    CloseHandle(snapshot);
    std::sort(links_.begin(), links_.end());
  }
  bool empty() const { return links_.empty(); }
  std::size_t size() const { return links_.size(); }
  // 0 when the process is not listed, or lists none or itself.
  DWORD ParentOf(DWORD process) const {
    const auto link = std::lower_bound(links_.begin(), links_.end(),
                                       std::pair<DWORD, DWORD>{process, 0});
    if (link == links_.end() || link->first != process || link->second == process) return 0;
    return link->second;
  }

 private:
  std::vector<std::pair<DWORD, DWORD>> links_;
};

}  // namespace

ProcessId Win32Platform::OwnProcess() {
  return GetCurrentProcessId();
}

ProcessId Win32Platform::ParentProcess(ProcessId process) {
  const DWORD parent = ParentTable().ParentOf(process);
  if (parent == 0) return 0;
  // A parent's pid may have been taken by a later process since: the link
  // holds only when the parent was created first.
  HANDLE childHandle = static_cast<HANDLE>(ProcessHandle(process));
  HANDLE parentHandle = static_cast<HANDLE>(ProcessHandle(parent));
  ULONGLONG childCreated = 0;
  ULONGLONG parentCreated = 0;
  if (childHandle == nullptr || parentHandle == nullptr ||
      !CreationTime(childHandle, childCreated) || !CreationTime(parentHandle, parentCreated) ||
      parentCreated > childCreated) {
    return 0;
  }
  return parent;
}

bool Win32Platform::IsDescendantOf(ProcessId process, ProcessId ancestor) {
  if (process == 0 || ancestor == 0) return false;
  if (process == ancestor) return true;
  // Where a process came from never changes, and the handle kept open keeps
  // its pid from passing to another process, so an answer of "outside" holds
  // for good. The window wait asks about every visible window of the desktop
  // on each lookup, and a snapshot of all processes is what costs: under Wine
  // eight other windows took 10 % of a core without this.
  const std::pair<ProcessId, ProcessId> pair{process, ancestor};
  if (notDescendants_.count(pair) != 0) return false;

  HANDLE processHandle = static_cast<HANDLE>(ProcessHandle(process));
  ULONGLONG childCreated = 0;
  if (processHandle == nullptr || !CreationTime(processHandle, childCreated)) return false;
  // Everything in the job descends from what ruskel started there.
  if (job_ != nullptr &&
      std::find(jobHolds_.begin(), jobHolds_.end(), ancestor) != jobHolds_.end()) {
    BOOL inJob = FALSE;
    if (IsProcessInJob(processHandle, static_cast<HANDLE>(job_), &inJob) && inJob) return true;
  }

  const ParentTable parents;
  // No snapshot says nothing yet: asked again next time.
  if (parents.empty()) return false;

  // A parent pid may have been reused by a later process: a link counts only
  // when the parent was created before its child.
  ProcessId child = process;
  for (std::size_t depth = 0; depth < parents.size(); ++depth) {
    const ProcessId parent = parents.ParentOf(child);
    if (parent == 0) break;
    HANDLE parentHandle = static_cast<HANDLE>(ProcessHandle(parent));
    ULONGLONG parentCreated = 0;
    if (parentHandle == nullptr || !CreationTime(parentHandle, parentCreated) ||
        parentCreated > childCreated) {
      break;
    }
    if (parent == ancestor) return true;
    child = parent;
    childCreated = parentCreated;
  }
  notDescendants_.insert(pair);
  return false;
}

InputIdle Win32Platform::ProcessInputIdle(ProcessId process) {
  if (process == 0) return InputIdle::Unknown;
  // WaitForInputIdle wants the full query right, which the watch handle may lack.
  HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process);
  if (handle == nullptr) return InputIdle::Unknown;
  const DWORD answer = ::WaitForInputIdle(handle, 0);
  CloseHandle(handle);
  if (answer == 0) return InputIdle::Idle;
  return answer == WAIT_TIMEOUT ? InputIdle::Busy : InputIdle::Unknown;
}

}  // namespace ruskel
