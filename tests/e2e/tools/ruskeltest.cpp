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

// One key as the command line gives it: `vk`, `vk:scan` or `vk:scan:e` (e: the scan code has
// the E0 prefix). The scan code may be written in hex (0x50).
struct KeySpec {
  WORD vk = 0;
  WORD scan = 0;
  bool extended = false;
};

bool ParseKeySpec(const std::string& text, KeySpec& out) {
  size_t first = text.find(':');
  long vk = 0;
  if (!ParseNumber(text.substr(0, first).c_str(), vk) || vk < 0 || vk > 255) return false;
  out.vk = static_cast<WORD>(vk);
  if (first == std::string::npos) return true;
  size_t second = text.find(':', first + 1);
  std::string scanText =
      text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
  char* end = nullptr;
  long scan = std::strtol(scanText.c_str(), &end, 0);
  if (scanText.empty() || *end != '\0' || scan < 0 || scan > 0xFF) return false;
  out.scan = static_cast<WORD>(scan);
  if (second == std::string::npos) return true;
  if (text.substr(second + 1) != "e") return false;
  out.extended = true;
  return true;
}

void SendKeySpec(const KeySpec& key, bool down) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key.vk;
  input.ki.wScan = key.scan;
  input.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (key.extended ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(1, &input, sizeof(input));
}

// A key given as vk[:scan[:e]], as a keyboard sends it: left and right Shift,
// Ctrl and Alt are told apart by scan code and extended flag.
int Press(const KeySpec& key, long holdMs) {
  std::int64_t downAt = EpochMs();
  SendKeySpec(key, true);
  std::printf("%lld\n", static_cast<long long>(downAt));
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(holdMs));
  SendKeySpec(key, false);
  return kExitOk;
}

// Like `keys`, but each key carries its scan code and extended flag, is held `holdMs` and
// followed by a `gapMs` pause, the way a player's keys reach a game.
int TypeKeys(const std::string& title, long timeoutMs, long holdMs, long gapMs,
             const std::vector<KeySpec>& keys) {
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
  std::fflush(stdout);
  for (const KeySpec& key : keys) {
    SendKeySpec(key, true);
    if (holdMs > 0) Sleep(static_cast<DWORD>(holdMs));
    SendKeySpec(key, false);
    if (gapMs > 0) Sleep(static_cast<DWORD>(gapMs));
  }
  return kExitOk;
}

void PrintLine(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// The keys a window of ours gets, printed one per line as they come.
void PrintKeyMessage(UINT message, WPARAM wParam) {
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
    PrintLine("keydown vk=" + std::to_string(wParam));
  } else if (message == WM_KEYUP || message == WM_SYSKEYUP) {
    PrintLine("keyup vk=" + std::to_string(wParam));
  }
}

// A window left behind by an earlier emulator that ignored its quit: it shows the title,
// ignores WM_QUIT and WM_CLOSE, and prints every key and close request it gets, one per line.
// It stays until its process is ended.
LRESULT CALLBACK StaleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PrintKeyMessage(message, wParam);
  if (message == WM_CLOSE) {
    PrintLine("ignored WM_CLOSE");
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int StaleWindow(const std::string& title) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = StaleWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = "RuskelTestStaleWindow";
  RegisterClassA(&windowClass);
  HWND window =
      CreateWindowExA(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      40, 40, 400, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return kExitTimeout;
  PrintLine("ready pid=" + std::to_string(GetCurrentProcessId()));
  for (;;) {
    MSG message;
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == -1) return kExitTimeout;
    if (got == 0) {
      PrintLine("ignored WM_QUIT");
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Ends the processes that own windows with exactly this title; prints how many were ended.
// For emulators that ignore every polite request, so that they do not outlive their case.
int KillOwners(const std::string& title) {
  std::vector<DWORD> pids;
  for (HWND window : WindowsTitled(title)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != 0 && pid != GetCurrentProcessId()) pids.push_back(pid);
  }
  int ended = 0;
  for (size_t i = 0; i < pids.size(); ++i) {
    bool seen = false;
    for (size_t j = 0; j < i; ++j) seen = seen || pids[j] == pids[i];
    if (seen) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pids[i]);
    if (process == nullptr) continue;
    if (TerminateProcess(process, 1)) {
      WaitForSingleObject(process, 5000);
      ++ended;
    }
    CloseHandle(process);
  }
  std::printf("%d\n", ended);
  std::fflush(stdout);
  return kExitOk;
}

// Starts a program with exactly the argument text given; prints "started pid=<pid>". The
// process handle, or null (the reason on stderr).
HANDLE StartProgram(const std::string& program, const std::string& arguments) {
  std::string commandLine = "\"" + program + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::fprintf(stderr, "CreateProcess failed: %lu\n", GetLastError());
    return nullptr;
  }
  CloseHandle(process.hThread);
  PrintLine("started pid=" + std::to_string(process.dwProcessId));
  return process.hProcess;
}

// Starts a program with exactly the argument text given, the way a front end does (Wine builds
// a command line from Unix arguments its own way, quoting and escaping), and waits for it.
// Prints "exit <code>" or "timeout".
int RunProgram(long timeoutMs, const std::string& program, const std::string& arguments) {
  PROCESS_INFORMATION process = {};
  process.hProcess = StartProgram(program, arguments);
  if (process.hProcess == nullptr) return kExitUsage;
  DWORD waited = WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs));
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  PrintLine(waited == WAIT_OBJECT_0 ? "exit " + std::to_string(code) : "timeout");
  return kExitOk;
}

LRESULT CALLBACK KeyLoggingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PrintKeyMessage(message, wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND ShowKeyLoggingWindow(const std::string& title, int x, int y) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = KeyLoggingWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
  windowClass.lpszClassName = "RuskelTestKeyWindow";
  RegisterClassA(&windowClass);  // fails harmlessly once registered
  HWND window =
      CreateWindowExA(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      x, y, 400, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window != nullptr) SetForegroundWindow(window);
  return window;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Pumps messages for ms, or until handle (when given) is signalled; true when it was.
bool PumpWhileWaiting(HANDLE handle, ULONGLONG ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  const DWORD count = handle != nullptr ? 1 : 0;
  for (;;) {
    PumpMessages();
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const DWORD woken = MsgWaitForMultipleObjects(count, &handle, FALSE,
                                                  static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    if (count == 1 && woken == WAIT_OBJECT_0) return true;
  }
}

// A front end as ruskel meets it: its own visible window in front, ruskel started with the given
// argument text, messages pumped while it runs (so the window stays alive and gets keys), then
// afterMs more to let the front come back. Prints the keys its window gets as they come, then
// "exit <code>" (or "timeout") and "front <title of the foreground window>".
// With hide, the window is hidden while the program runs and shown and brought to the front
// after, as front ends that step aside for a game do.
int FrontEnd(const std::string& title, long timeoutMs, long afterMs, const std::string& program,
             const std::string& arguments, bool hide) {
  HWND window = ShowKeyLoggingWindow(title, 20, 20);
  if (window == nullptr) return kExitTimeout;
  BringToFront(window, 2000);
  PROCESS_INFORMATION process = {};
  process.hProcess = StartProgram(program, arguments);
  if (process.hProcess == nullptr) return kExitUsage;
  if (hide) ShowWindow(window, SW_HIDE);
  const bool ended =
      PumpWhileWaiting(process.hProcess, static_cast<ULONGLONG>(timeoutMs < 0 ? 0 : timeoutMs));
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  PrintLine(ended ? "exit " + std::to_string(code) : "timeout");
  if (hide) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
  }
  PumpWhileWaiting(nullptr, static_cast<ULONGLONG>(afterMs < 0 ? 0 : afterMs));
  HWND front = GetForegroundWindow();
  PrintLine("front " + (front != nullptr ? WindowText(front) : std::string()));
  DestroyWindow(window);
  return kExitOk;
}

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) PrintLine("shell activated");
  return DefWindowProcA(window, message, wParam, lParam);
}

// A stand-in for the desktop shell: a task bar window of the shell's class, shown without taking
// the front and disabled (Wine, unlike Windows, would pick it as the next active window when
// another closes; only a program asking for it brings it forward then), that starts this same program with the
// given arguments, sharing its output, as the shell starts a front end from a shortcut. Prints
// "shell activated" whenever its window is activated, and "shell done" once the child ended.
int Shell(const std::string& title, long timeoutMs, int argc, char** argv) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ShellWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "Shell_TrayWnd";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, windowClass.lpszClassName,
                                title.c_str(), WS_POPUP | WS_DISABLED, 0, 560, 800, 40, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
  if (window == nullptr) return kExitTimeout;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof(self));
  std::string commandLine = "\"" + std::string(self) + "\"";
  for (int i = 0; i < argc; ++i) commandLine += " \"" + std::string(argv[i]) + "\"";
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(self, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return kExitUsage;
  }
  CloseHandle(process.hThread);
  PumpWhileWaiting(process.hProcess, static_cast<ULONGLONG>(timeoutMs < 0 ? 0 : timeoutMs));
  CloseHandle(process.hProcess);
  PrintLine("shell done");
  DestroyWindow(window);
  return kExitOk;
}

// A busy program that keeps pulling its window to the front every 100 ms for ms, then lets go
// ("released") and stays until ended. Prints the keys its window gets as they come.
int Pushy(const std::string& title, long ms) {
  HWND window = ShowKeyLoggingWindow(title, 60, 260);
  if (window == nullptr) return kExitTimeout;
  PrintLine("ready pid=" + std::to_string(GetCurrentProcessId()));
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(ms < 0 ? 0 : ms);
  while (GetTickCount64() < until) {
    if (GetForegroundWindow() != window) {
      ShowWindow(window, SW_RESTORE);
      SetForegroundWindow(window);
    }
    PumpWhileWaiting(nullptr, 100);
  }
  PrintLine("released");
  for (;;) PumpWhileWaiting(nullptr, 1000);
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

struct ProcessWindows {
  DWORD pid = 0;
  std::vector<HWND> found;
};

// A named CALLBACK: a lambda has the wrong calling convention in 32-bit builds.
BOOL CALLBACK CollectProcessWindow(HWND candidate, LPARAM param) {
  auto* search = reinterpret_cast<ProcessWindows*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(candidate, &pid);
  if (pid == search->pid) search->found.push_back(candidate);
  return TRUE;
}

// WM_CLOSE to every top-level window of the process that owns the window with this title
// (hidden ones included; only those of `onlyClass` when given), as a program closing another
// one does; prints the class and title of each.
int CloseProcessWindows(const std::string& title, const std::string& onlyClass) {
  HWND window = FindWindowA(nullptr, title.c_str());
  if (window == nullptr) return kExitTimeout;
  ProcessWindows search;
  GetWindowThreadProcessId(window, &search.pid);
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
  for (HWND each : search.found) {
    if (!onlyClass.empty() && ClassName(each) != onlyClass) continue;
    std::printf("%s \"%s\"\n", ClassName(each).c_str(), WindowText(each).c_str());
    PostMessageA(each, WM_CLOSE, 0, 0);
  }
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

// The pointer's position as "x y", for the park tests.
int PointerAt() {
  POINT point{};
  if (!GetCursorPos(&point)) return kExitTimeout;
  std::printf("%ld %ld\n", static_cast<long>(point.x), static_cast<long>(point.y));
  std::fflush(stdout);
  return kExitOk;
}

int MovePointer(long x, long y) {
  return SetCursorPos(static_cast<int>(x), static_cast<int>(y)) ? kExitOk : kExitTimeout;
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: ruskeltest <command> ...\n"
      "  press <vk[:scan[:e]]> <hold_ms>  key down, hold, key up; prints the epoch ms of "
      "the down event\n"
      "  down <vk[:scan[:e]]>             key down and no key up: the key stays down, as when "
      "Wine loses a key-up\n"
      "  up <vk[:scan[:e]]>               key up alone\n"
      "  keys <title> <timeout_ms> <vk>...  bring the window to the front, then tap each "
      "key; prints the epoch ms\n"
      "  type <title> <timeout_ms> <hold_ms> <gap_ms> <key>...  bring the window to the "
      "front, then press each key (vk[:scan[:e]]) for hold_ms, pause gap_ms\n"
      "  stale-window <title>             show a window that ignores quit and close and "
      "prints the keys it gets; runs until ended\n"
      "  kill <title>                     end the processes owning windows with that "
      "title\n"
      "  run <timeout_ms> <exe> <args>    start exe with exactly that argument text, wait; "
      "prints exit <code> or timeout\n"
      "  frontend <title> <timeout_ms> <after_ms> <exe> <args>  show a window, start exe, "
      "pump messages until it ends; prints the keys the window gets, exit <code>, front "
      "<title>; with hide, its window is hidden while exe runs\n"
      "  shell <title> <timeout_ms> <command>...  a task bar window of the shell's class "
      "that runs this program with the command; prints shell activated, shell done\n"
      "  pushy <title> <ms>               a window that pulls itself to the front every "
      "100 ms for ms; prints its keys\n"
      "  msgbox <timeout_ms>              print caption, then message lines of the first "
      "message box; press OK\n"
      "  waitwindow <title> <timeout_ms>  wait until a top-level window has that title\n"
      "  waitvisible <title> <timeout_ms> same, and the window is visible\n"
      "  waitgone <title> <timeout_ms>    wait until no top-level window has that title\n"
      "  front <title> <timeout_ms>       bring the window to the front\n"
      "  foreground                       print the foreground window's title\n"
      "  close <title>                    post WM_CLOSE to every window with exactly "
      "that title\n"
      "  closeprocess <title> [class]     post WM_CLOSE to every top-level window (of "
      "that class) of the process owning that window\n"
      "  quit <title>                     post WM_QUIT to the window with that title\n"
      "  windows                          list the top-level windows\n"
      "  hold <ms>                        keep the desktop open; prints ready\n"
      "  now                              print the epoch ms\n"
      "  pointer                          print the mouse pointer's position: x y\n"
      "  movepointer <x> <y>              move the mouse pointer there\n"
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

  if (command == "press" && argc == 4) {
    KeySpec key;
    long holdMs = 0;
    if (ParseKeySpec(argv[2], key) && ParseNumber(argv[3], holdMs) && holdMs >= 0) {
      return Press(key, holdMs);
    }
  }
  if ((command == "down" || command == "up") && argc == 3) {
    KeySpec key;
    if (ParseKeySpec(argv[2], key)) {
      SendKeySpec(key, command == "down");
      return kExitOk;
    }
  }
  if (command == "keys" && argc >= 5 && numbersFrom(3)) {
    return Keys(argv[2], numbers[0], std::vector<long>(numbers.begin() + 1, numbers.end()));
  }
  if (command == "type" && argc >= 7) {
    long timeoutMs = 0;
    long holdMs = 0;
    long gapMs = 0;
    std::vector<KeySpec> keys(static_cast<size_t>(argc - 6));
    bool good = ParseNumber(argv[3], timeoutMs) && ParseNumber(argv[4], holdMs) &&
                ParseNumber(argv[5], gapMs) && holdMs >= 0 && gapMs >= 0;
    for (int i = 6; good && i < argc; ++i) good = ParseKeySpec(argv[i], keys[i - 6]);
    if (good) return TypeKeys(argv[2], timeoutMs, holdMs, gapMs, keys);
  }
  if (command == "stale-window" && argc == 3) return StaleWindow(argv[2]);
  if (command == "kill" && argc == 3) return KillOwners(argv[2]);
  if (command == "run" && argc == 5) {
    long timeoutMs = 0;
    if (ParseNumber(argv[2], timeoutMs)) return RunProgram(timeoutMs, argv[3], argv[4]);
  }
  if (command == "frontend" && (argc == 7 || (argc == 8 && std::string(argv[7]) == "hide"))) {
    long timeoutMs = 0;
    long afterMs = 0;
    if (ParseNumber(argv[3], timeoutMs) && ParseNumber(argv[4], afterMs)) {
      return FrontEnd(argv[2], timeoutMs, afterMs, argv[5], argv[6], argc == 8);
    }
  }
  if (command == "shell" && argc >= 5) {
    long timeoutMs = 0;
    if (ParseNumber(argv[3], timeoutMs)) return Shell(argv[2], timeoutMs, argc - 4, argv + 4);
  }
  if (command == "pushy" && argc == 4 && numbersFrom(3)) return Pushy(argv[2], numbers[0]);
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
  if (command == "closeprocess" && (argc == 3 || argc == 4)) {
    return CloseProcessWindows(argv[2], argc == 4 ? argv[3] : "");
  }
  if (command == "showbox" && argc == 4) return ShowBox(argv[2], argv[3]);
  if (command == "windows" && argc == 2) return ListWindows();
  if (command == "hold" && argc == 3 && numbersFrom(2)) return HoldDesktop(numbers[0]);
  if (command == "pointer" && argc == 2) return PointerAt();
  if (command == "movepointer" && argc == 4 && numbersFrom(2)) {
    return MovePointer(numbers[0], numbers[1]);
  }
  if (command == "now" && argc == 2) {
    std::printf("%lld\n", static_cast<long long>(EpochMs()));
    return kExitOk;
  }
  return Usage();
}
