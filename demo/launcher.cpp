#include "demo/launcher.h"

#include <windows.h>

#include <vector>

#include "demo/event_log.h"

namespace ruskel::demo {

bool LaunchEmulator(const std::string& exeDir, const std::string& args) {
  std::string program = exeDir + "\\demoemu.exe";
  std::string commandLine = "\"" + program + "\"";
  if (!args.empty()) commandLine += " " + args;
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      exeDir.c_str(), &startup, &process)) {
    Log("ERROR", "CreateProcess failed error=" + std::to_string(GetLastError()));
    return false;
  }
  Log("LAUNCH", "pid=" + std::to_string(process.dwProcessId) + " cmdline=" + commandLine);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace ruskel::demo
