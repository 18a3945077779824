// Small helper that the end-to-end suite runs inside Wine to act as the user: press keys, find
// and answer message boxes, wait for windows and look at the foreground window. Every wait here
// is bounded by a timeout given on the command line.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/epoch_ms.h"

namespace {

constexpr DWORD kPollMs = 10;
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitTimeout = 2;
constexpr int kExitNotForeground = 3;

using ruskel::demo::EpochMs;

bool ParseNumber(const char* text, long& out) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0') return false;
  out = value;
  return true;
}

std::string WindowText(HWND window) {
  char text[1024];
  int length = GetWindowTextA(window, text, sizeof(text));
  return std::string(text, length > 0 ? length : 0);
}

std::string ClassName(HWND window) {
  char name[256];
  int length = GetClassNameA(window, name, sizeof(name));
  return std::string(name, length > 0 ? length : 0);
}

// Polls `found` until it returns true or `timeoutMs` has passed; true when it was found.
template <typename Probe>
bool WaitFor(DWORD timeoutMs, Probe found) {
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (found()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

void SendKey(BYTE vk, bool down) {
  keybd_event(vk, 0, down ? 0 : KEYEVENTF_KEYUP, 0);
}

struct TitleSearch {
  const std::string* title;
  std::vector<HWND> found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<TitleSearch*>(param);
  if (WindowText(window) == *s->title) s->found.push_back(window);
  return TRUE;
}

// Windows whose title is exactly `title` (case-sensitive, unlike FindWindowA, so that a test
// never touches a window it did not mean).
std::vector<HWND> WindowsTitled(const std::string& title) {
  TitleSearch search{&title, {}};
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && ClassName(window) == "#32770") {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisibleDialog() {
  HWND result = nullptr;
  EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&result));
  return result;
}

struct DialogParts {
  std::vector<std::string> texts;
  HWND okButton = nullptr;
};

BOOL CALLBACK CollectDialogParts(HWND child, LPARAM param) {
  auto* p = reinterpret_cast<DialogParts*>(param);
  std::string cls = ClassName(child);
  LONG style = GetWindowLongA(child, GWL_STYLE);
  if (cls == "Static" && (style & SS_TYPEMASK) != SS_ICON) {
    std::string text = WindowText(child);
    if (!text.empty()) p->texts.push_back(text);
  } else if (cls == "Button" && GetDlgCtrlID(child) == IDOK) {
    p->okButton = child;
  }
  return TRUE;
}

// The message of a message box sits in Static children; the icon is a Static too, but one with
// the SS_ICON style and no text.
DialogParts ReadDialog(HWND dialog) {
  DialogParts parts;
  EnumChildWindows(dialog, CollectDialogParts, reinterpret_cast<LPARAM>(&parts));
  return parts;
}

int Press(long vk, long holdMs) {
  std::int64_t downAt = EpochMs();
  SendKey(static_cast<BYTE>(vk), true);
  std::printf("%lld\n", static_cast<long long>(downAt));
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(holdMs));
  SendKey(static_cast<BYTE>(vk), false);
  return kExitOk;
}

bool BringToFront(HWND window, DWORD timeoutMs) {
  return WaitFor(timeoutMs, [window] {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    return GetForegroundWindow() == window;
  });
}

int Keys(const std::string& title, long timeoutMs, const std::vector<long>& keys) {
  HWND window = nullptr;
  if (!WaitFor(static_cast<DWORD>(timeoutMs), [&] {
        window = FindWindowA(nullptr, title.c_str());
        return window != nullptr && IsWindowVisible(window);
      })) {
    std::fprintf(stderr, "window not found: %s\n", title.c_str());
    return kExitTimeout;
  }
  if (!BringToFront(window, static_cast<DWORD>(timeoutMs))) {
    std::fprintf(stderr, "window would not come to the front: %s\n", title.c_str());
    return kExitNotForeground;
  }
  std::printf("%lld\n", static_cast<long long>(EpochMs()));
  for (long vk : keys) {
    SendKey(static_cast<BYTE>(vk), true);
    SendKey(static_cast<BYTE>(vk), false);
  }
  std::fflush(stdout);
  return kExitOk;
}

int MessageBoxAnswer(long timeoutMs) {
  HWND dialog = nullptr;
  if (!WaitFor(static_cast<DWORD>(timeoutMs), [&] { return (dialog = FindVisibleDialog()); })) {
    return kExitTimeout;
  }
  // The box may still be filling in its controls right after it became visible.
  DialogParts parts;
  WaitFor(1000, [&] {
    parts = ReadDialog(dialog);
    return !parts.texts.empty();
  });
  std::printf("%s\n", WindowText(dialog).c_str());
  for (const std::string& text : parts.texts) std::printf("%s\n", text.c_str());
  std::fflush(stdout);

  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(parts.okButton));
  if (!WaitFor(2000, [dialog] { return !IsWindow(dialog); }) && parts.okButton != nullptr) {
    PostMessageA(parts.okButton, BM_CLICK, 0, 0);
    WaitFor(2000, [dialog] { return !IsWindow(dialog); });
  }
  return kExitOk;
}

int WaitWindow(const std::string& title, long timeoutMs, bool visible) {
  bool found = WaitFor(static_cast<DWORD>(timeoutMs), [&] {
    HWND window = FindWindowA(nullptr, title.c_str());
    return window != nullptr && (!visible || IsWindowVisible(window));
  });
  return found ? kExitOk : kExitTimeout;
}

int WaitGone(const std::string& title, long timeoutMs) {
  bool gone = WaitFor(static_cast<DWORD>(timeoutMs),
                      [&] { return FindWindowA(nullptr, title.c_str()) == nullptr; });
  return gone ? kExitOk : kExitTimeout;
}

int Front(const std::string& title, long timeoutMs) {
  HWND window = FindWindowA(nullptr, title.c_str());
  if (window == nullptr) return kExitTimeout;
  return BringToFront(window, static_cast<DWORD>(timeoutMs)) ? kExitOk : kExitNotForeground;
}

int Foreground() {
  HWND window = GetForegroundWindow();
  std::printf("%s\n", window != nullptr ? WindowText(window).c_str() : "");
  std::fflush(stdout);
  return kExitOk;
}

int Close(const std::string& title) {
  std::vector<HWND> windows = WindowsTitled(title);
  for (HWND window : windows) PostMessageA(window, WM_CLOSE, 0, 0);
  std::printf("%zu\n", windows.size());
  std::fflush(stdout);
  return kExitOk;
}

// The same message the wrapper uses to end an emulator, so the suite can check how the demo
// emulator takes it without needing the wrapper.
int PostQuit(const std::string& title) {
  HWND window = FindWindowA(nullptr, title.c_str());
  if (window == nullptr) return kExitTimeout;
  PostMessageA(window, WM_QUIT, 0, 0);
  return kExitOk;
}

// Lets the suite check its own message-box reader without needing the wrapper.
int ShowBox(const std::string& caption, const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  return kExitOk;
}

// Wine closes a desktop shortly after its last program ends and needs seconds to bring it back;
// a program that starts meanwhile can fail to create its windows. Holding the desktop open for
// the whole run avoids both. Prints "ready" once the desktop exists.
int HoldDesktop(long ms) {
  GetDesktopWindow();
  std::printf("ready\n");
  std::fflush(stdout);
  ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms);
  while (GetTickCount64() < deadline) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
  }
  return kExitOk;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::printf("%d %s pid=%lu \"%s\"\n", IsWindowVisible(window) ? 1 : 0, ClassName(window).c_str(),
              pid, WindowText(window).c_str());
  return TRUE;
}

// Every top-level window, for failure reports: visible flag, class, owning process, title.
int ListWindows() {
  EnumWindows(PrintWindow, 0);
  std::fflush(stdout);
  return kExitOk;
}

int Usage() {
  std::fprintf(stderr,
               "usage: ruskeltest <command> ...\n"
               "  press <vk> <hold_ms>             key down, hold, key up; prints the epoch ms of "
               "the down event\n"
               "  keys <title> <timeout_ms> <vk>...  bring the window to the front, then tap each "
               "key; prints the epoch ms\n"
               "  msgbox <timeout_ms>              print caption, then message lines of the first "
               "message box; press OK\n"
               "  waitwindow <title> <timeout_ms>  wait until a top-level window has that title\n"
               "  waitvisible <title> <timeout_ms> same, and the window is visible\n"
               "  waitgone <title> <timeout_ms>    wait until no top-level window has that title\n"
               "  front <title> <timeout_ms>       bring the window to the front\n"
               "  foreground                       print the foreground window's title\n"
               "  close <title>                    post WM_CLOSE to every window with exactly "
               "that title\n"
               "  quit <title>                     post WM_QUIT to the window with that title\n"
               "  windows                          list the top-level windows\n"
               "  hold <ms>                        keep the desktop open; prints ready\n"
               "  now                              print the epoch ms\n"
               "  showbox <caption> <text>         show a message box with an OK button\n"
               "Exit codes: 0 done, 1 bad usage, 2 timed out, 3 window not in front.\n");
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  std::vector<long> numbers;
  auto numbersFrom = [&](int first) {
    for (int i = first; i < argc; ++i) {
      long value = 0;
      if (!ParseNumber(argv[i], value)) return false;
      numbers.push_back(value);
    }
    return true;
  };

  if (command == "press" && argc == 4 && numbersFrom(2)) return Press(numbers[0], numbers[1]);
  if (command == "keys" && argc >= 5 && numbersFrom(3)) {
    return Keys(argv[2], numbers[0], std::vector<long>(numbers.begin() + 1, numbers.end()));
  }
  if (command == "msgbox" && argc == 3 && numbersFrom(2)) return MessageBoxAnswer(numbers[0]);
  if (command == "waitwindow" && argc == 4 && numbersFrom(3)) {
    return WaitWindow(argv[2], numbers[0], false);
  }
  if (command == "waitvisible" && argc == 4 && numbersFrom(3)) {
    return WaitWindow(argv[2], numbers[0], true);
  }
  if (command == "waitgone" && argc == 4 && numbersFrom(3)) return WaitGone(argv[2], numbers[0]);
  if (command == "front" && argc == 4 && numbersFrom(3)) return Front(argv[2], numbers[0]);
  if (command == "foreground" && argc == 2) return Foreground();
  if (command == "close" && argc == 3) return Close(argv[2]);
  if (command == "quit" && argc == 3) return PostQuit(argv[2]);
  if (command == "showbox" && argc == 4) return ShowBox(argv[2], argv[3]);
  if (command == "windows" && argc == 2) return ListWindows();
  if (command == "hold" && argc == 3 && numbersFrom(2)) return HoldDesktop(numbers[0]);
  if (command == "now" && argc == 2) {
    std::printf("%lld\n", static_cast<long long>(EpochMs()));
    return kExitOk;
  }
  return Usage();
}
