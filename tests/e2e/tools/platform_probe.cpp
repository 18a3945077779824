// Runs the Windows platform layer on its own under Wine, so the suite can check
// what it delivers (key, window and process events), without the wrapper's
// logic on top. Each command prints one line per event, "<epoch ms> WORD ...",
// and ends itself after the time it is given.

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/window_match.h"
#include "demo/epoch_ms.h"
#include "platform/win32_platform.h"

namespace {

using ruskel::EventKind;
using ruskel::PlatformEvent;
using ruskel::Win32Platform;

constexpr int kEndTimer = 1;
constexpr int kWorkTimer = 2;
constexpr std::uint8_t kMarkProbeKey = 0x7C;  // F13: nothing reacts to it
constexpr ULONG kMark = 0x4C4B5352;

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  std::printf("%lld ", static_cast<long long>(ruskel::demo::EpochMs()));
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::printf("\n");
  std::fflush(stdout);
}

bool ParseNumber(const char* text, long& out) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0') return false;
  out = value;
  return true;
}

// The top-level windows whose whole title is title in any case, compared as
// the wrapper compares them.
std::vector<ruskel::WindowInfo> WindowsTitled(Win32Platform& os, const std::string& title) {
  std::vector<ruskel::WindowInfo> found;
  const std::string wanted = os.UpperAnsi(title);
  for (ruskel::WindowHandle window : os.TopWindows()) {
    if (!ruskel::TitleFits(os, ruskel::MatchRule::Title, os.WindowTitle(window), wanted)) continue;
    found.push_back({window, os.WindowProcess(window), os.IsVisible(window)});
  }
  return found;
}

struct Probe {
  Win32Platform os;
  int sent = 0;
  int sendCount = 0;
  std::uint8_t ownKey = 0;
  int depth = 0;
  int ticks = 0;
  bool boxShown = false;
  std::string command;
  ruskel::ProcessId started = 0;
  std::string title;  // family: the window to wait for

  void Handle(const PlatformEvent& event) {
    if (++depth > 1) Say("REENTERED");
    switch (event.kind) {
      case EventKind::KeyDown:
        Say("KEYDOWN %d", event.virtualKey);
        break;
      case EventKind::KeyUp:
        Say("KEYUP %d", event.virtualKey);
        break;
      case EventKind::WindowsChanged:
        Say("WINDOWS");
        if (!title.empty()) ReportFamily();
        break;
      case EventKind::ProcessEnded:
        Say("ENDED %lu", static_cast<unsigned long>(event.processId));
        os.EndProcess(0);
      case EventKind::CloseRequested:
        Say("CLOSE");
        break;
      case EventKind::Timer:
        OnTimer(event.timerId);
        break;
    }
    --depth;
  }

  // Whether the window's process counts as the started process's, and as the probe's.
  void ReportFamily() {
    std::vector<ruskel::WindowInfo> windows = WindowsTitled(os, title);
    if (windows.empty()) return;
    const ruskel::ProcessId owner = windows.front().processId;
    Say("FAMILY other=%d of_started=%d of_probe=%d of_other=%d", owner != started ? 1 : 0,
        os.IsDescendantOf(owner, started) ? 1 : 0,
        os.IsDescendantOf(owner, GetCurrentProcessId()) ? 1 : 0,
        os.IsDescendantOf(started, owner) ? 1 : 0);
    os.EndProcess(0);
  }

  void OnTimer(int timerId) {
    if (timerId == kEndTimer) {
      if (command == "reentry") Say("TICKS %d", ticks);
      Say("END");
      os.EndProcess(0);
    }
    if (command == "reentry") {
      ++ticks;
      if (!boxShown) {
        // The box pumps messages while it is up; ticks must wait for it.
        boxShown = true;
        os.ShowMessage("probe", ruskel::MessageKind::Information);
        Say("BOXCLOSED");
      }
      return;
    }
    if (command == "pads") {
      ruskel::JoyInfo joystick;
      std::uint16_t buttons = 0;
      const bool joystickFound = os.ReadJoystick(0, joystick);
      const bool padFound = os.ReadXInput(0, buttons);
      if (++ticks == 1) Say("PADS joystick=%d xinput=%d", joystickFound ? 1 : 0, padFound ? 1 : 0);
      return;
    }
    if (sent < sendCount) {
      os.SendKeyEvent(ownKey, os.ScanCodeOf(ownKey), 0);
      os.SendKeyEvent(ownKey, os.ScanCodeOf(ownKey), ruskel::kKeyEventKeyUp);
      if (++sent == sendCount) Say("SENT %d", sent);
    }
  }
};

// Whether the system hands a key's dwExtraInfo back through raw input: a
// plain window of this program's own, registered for the keyboard.
LRESULT CALLBACK MarkProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INPUT) {
    RAWINPUT input{};
    UINT size = sizeof input;
    if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &input, &size,
                        sizeof(RAWINPUTHEADER)) != static_cast<UINT>(-1) &&
        input.header.dwType == RIM_TYPEKEYBOARD) {
      Say("RAW vk=%u break=%d extra=0x%lx", input.data.keyboard.VKey,
          (input.data.keyboard.Flags & RI_KEY_BREAK) != 0 ? 1 : 0,
          static_cast<unsigned long>(input.data.keyboard.ExtraInformation));
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int MarkProbe() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MarkProbeProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "RuskelMarkProbe";
  RegisterClassExA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0,
                                0, nullptr, nullptr, windowClass.hInstance, nullptr);
  RAWINPUTDEVICE keyboard{0x01, 0x06, RIDEV_INPUTSINK, window};
  RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
  keybd_event(kMarkProbeKey, 0, 0, kMark);
  keybd_event(kMarkProbeKey, 0, KEYEVENTF_KEYUP, kMark);
  const ULONGLONG deadline = GetTickCount64() + 1000;
  while (GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  Say("END");
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: platform_probe <command> <ms> ...\n"
               "  keys <ms> [own_vk count]   watch keys; send own_vk count times meanwhile\n"
               "  windows <ms>               watch windows\n"
               "  idle <ms>                  watch keys and windows, print nothing but END\n"
               "  start <ms> <kill 0|1> <command line>  start a process and watch it\n"
               "  family <ms> <title> <command line>  start a process, wait for a window\n"
               "                             with the title, tell whose it is\n"
               "  titled <title>             list the top-level windows with the title\n"
               "  pads <ms>                  read joystick 0 and XInput pad 0 every 50 ms\n"
               "  curtain <ms>               show the curtain\n"
               "  curtainbox <ms>            show the curtain, then a message box\n"
               "  reentry <ms>               a message box inside a tick handler\n"
               "  mark                       does raw input hand back dwExtraInfo\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "mark") return MarkProbe();

  static Probe probe;
  probe.command = command;
  Win32Platform& os = probe.os;
  if (command == "titled" && argc == 3) {
    for (const ruskel::WindowInfo& window : WindowsTitled(os, argv[2])) {
      std::printf("%lu pid=%lu visible=%d\n", static_cast<unsigned long>(window.handle),
                  static_cast<unsigned long>(window.processId), window.visible ? 1 : 0);
    }
    return 0;
  }

  long runMs = 0;
  if (argc < 3 || !ParseNumber(argv[2], runMs)) return Usage();
  os.CreateTimerWindow();
  os.SetEventHandler([](const PlatformEvent& event) { probe.Handle(event); });

  if (command == "keys" || command == "idle") {
    os.WatchKeys(true);
    if (command == "idle") os.WatchWindows(true);
    long ownKey = 0;
    long count = 0;
    if (argc == 5 && ParseNumber(argv[3], ownKey) && ParseNumber(argv[4], count)) {
      probe.ownKey = static_cast<std::uint8_t>(ownKey);
      probe.sendCount = static_cast<int>(count);
      os.StartTimer(kWorkTimer, 30);
    }
  } else if (command == "windows") {
    os.WatchWindows(true);
  } else if ((command == "start" || command == "family") && argc >= 5) {
    ruskel::ProcessStart start;
    if (command == "family") {
      probe.title = argv[3];
      os.WatchWindows(true);
    }
    start.killWithRuskel = std::string(argv[3]) == "1";
    for (int i = 4; i < argc; ++i) {
      if (i > 4) start.commandLine += ' ';
      start.commandLine += argv[i];
    }
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    start.workingDirectory = folder;
    start.creationFlags = ruskel::kNormalPriorityClass;
    ruskel::ProcessStartResult result = os.StartProcess(start);
    if (!result.started) {
      Say("FAILED %s", result.error.c_str());
      return 2;
    }
    Say("STARTED %lu running=%d self=%d", static_cast<unsigned long>(result.processId),
        os.IsProcessRunning(result.processId) ? 1 : 0,
        os.IsDescendantOf(result.processId, result.processId) ? 1 : 0);
    Say("PARENT %d", os.IsDescendantOf(GetCurrentProcessId(), result.processId) ? 1 : 0);
    probe.started = result.processId;
    if (command == "start" && !os.WatchProcess(result.processId)) Say("UNWATCHED");
  } else if (command == "pads") {
    os.StartTimer(kWorkTimer, 50);
  } else if (command == "curtain" || command == "curtainbox") {
    os.ShowCurtain(true);
    if (command == "curtainbox") {
      Say("READY");
      os.ShowMessage("over the curtain", ruskel::MessageKind::Error);
      Say("BOXCLOSED");
      os.EndProcess(0);
    }
  } else if (command == "reentry") {
    os.StartTimer(kWorkTimer, 20);
  } else {
    return Usage();
  }
  os.StartTimer(kEndTimer, static_cast<std::uint32_t>(runMs));
  Say("READY");
  os.RunMessageLoop();
}
