// A stand-in emulator for trying ruskel out and for the end-to-end tests: one window with a
// menu of games, driven by the arrow keys and Return, that logs every event it sees to a file
// with wall-clock timestamps so that a test can check what reached it and when. Switches pick
// how it reads the keyboard and how it behaves at the end of its life (see tests/e2e/README.md).

#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "demo/demo_options.h"
#include "demo/event_log.h"
#include "demo/frame_stats.h"
#include "demo/key_holds.h"
#include "demo/key_reader.h"
#include "demo/launcher.h"
#include "demo/menu_window.h"

namespace {

using namespace ruskel::demo;

// Polling readers look at the keyboard once per frame, like a game running at 60 Hz.
constexpr DWORD kFrameMs = 16;

std::string ExeDir() {
  char path[MAX_PATH * 4];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string dir(path, length);
  size_t slash = dir.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
}

std::string CurrentDir() {
  char path[MAX_PATH * 4];
  DWORD length = GetCurrentDirectoryA(sizeof(path), path);
  return std::string(path, length < sizeof(path) ? length : 0);
}

std::vector<std::string> LoadGames(const std::string& path) {
  std::vector<std::string> games;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty()) games.push_back(line);
  }
  return games;
}

std::string Hex2(int value) {
  const char* digits = "0123456789abcdef";
  return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

struct Timers {
  UINT_PTR lifetime = 0;
  UINT_PTR quitAfter = 0;
};

// Thread timers (no window) so that they also end a run that never opens a window.
Timers StartTimers(const Options& options) {
  Timers timers;
  if (options.lifetimeMs >= 0) {
    timers.lifetime = SetTimer(nullptr, 0, static_cast<UINT>(options.lifetimeMs), nullptr);
  }
  if (options.quitAfterMs >= 0) {
    timers.quitAfter = SetTimer(nullptr, 0, static_cast<UINT>(options.quitAfterMs), nullptr);
  }
  return timers;
}

// The message loop, with a frame tick for the readers that poll. Returns the exit code and
// sets `reason` to why the emulator ends.
int RunLoop(const Options& options, const Timers& timers, KeyReader& reader, FrameStats& frames,
            std::string& reason) {
  ULONGLONG nextFrame = GetTickCount64();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // WM_QUIT after our own window went away is ours: it always ends the emulator.
        if (options.ignoreQuit && !MenuWindowGone()) {
          Log("IGNORED", "WM_QUIT");
          continue;
        }
        reason = MenuCloseReason().empty() ? "WM_QUIT" : MenuCloseReason();
        return static_cast<int>(message.wParam);
      }
      if (message.hwnd == nullptr && message.message == WM_TIMER) {
        if (timers.lifetime != 0 && message.wParam == timers.lifetime) {
          reason = "lifetime";
          return 0;
        }
        if (timers.quitAfter != 0 && message.wParam == timers.quitAfter) {
          // Quits the way a player quitting from the emulator's own menu would.
          KillTimer(nullptr, timers.quitAfter);
          reason = "self";
          DestroyMenuWindows();
          return 0;
        }
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    SampleTick();
    ULONGLONG now = GetTickCount64();
    if (now >= nextFrame) {
      frames.FrameStarts();
      reader.Poll();
      nextFrame = now + kFrameMs;
    }
    DWORD wait = static_cast<DWORD>(nextFrame > now ? nextFrame - now : 0);
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  std::string exeDir = ExeDir();
  Options options = ParseOptions(__argc, __argv, GetCommandLineA(), exeDir);
  OpenLog(options.logPath);
  Log("START", "pid=" + std::to_string(GetCurrentProcessId()) + " cmdline=" + GetCommandLineA() +
                   " cwd=" + CurrentDir());
  for (const std::string& arg : options.unknown) Log("ARG", "unknown=" + arg);

  if (options.launch) {
    bool started = LaunchEmulator(exeDir, options.launchArgs);
    Log("QUIT", "reason=launched");
    CloseLog();
    return started ? 0 : 1;
  }

  std::vector<std::string> games = LoadGames(options.gamesPath);
  Log("GAMES", "count=" + std::to_string(games.size()) + " file=" + options.gamesPath);

  const char* via = InputModeName(options.input);
  std::unique_ptr<KeyReader> reader =
      MakeKeyReader(options.input, [via](bool down, const KeyId& key) {
        Log(down ? "KEYDOWN" : "KEYUP", "vk=" + std::to_string(key.vk) + " via=" + via +
                                            " scan=" + Hex2(key.scan) +
                                            " ext=" + (key.extended ? "1" : "0"));
        MenuKey(down, key.vk);
      });

  Timers timers = StartTimers(options);
  // An emulator that loads before it opens a window: no window, no messages.
  if (options.windowAfterMs > 0) Sleep(static_cast<DWORD>(options.windowAfterMs));
  if (!options.noWindow) {
    MenuSetup setup;
    setup.options = &options;
    setup.games = std::move(games);
    setup.reader = reader.get();
    HWND window = CreateMenuWindows(instance, std::move(setup));
    if (window != nullptr) {
      std::string error;
      bool ready = reader->Attach(window, error);
      Log("INPUT", std::string("mode=") + via + " ready=" + (ready ? "1" : "0"));
      if (!ready) Log("ERROR", error);
      ShowMenuWindows(instance, showCommand);
    }
  }

  std::string reason;
  FrameStats frames(kFrameMs);
  int exitCode = RunLoop(options, timers, *reader, frames, reason);
  frames.LogSummary();
  Log("QUIT", "reason=" + reason);
  reader.reset();
  CloseLog();
  return exitCode;
}
