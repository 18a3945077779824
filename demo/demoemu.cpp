// A stand-in emulator for trying ruskel out and for the end-to-end tests: one window with a
// menu of games, driven by the arrow keys and Return, that logs every event it sees to a file
// with wall-clock timestamps so that a test can check what reached it and when.

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "demo/epoch_ms.h"

namespace {

constexpr char kDefaultTitle[] = "Ruskel Demo Emulator";
constexpr char kWindowClass[] = "RuskelDemoEmulator";
constexpr UINT_PTR kShowTimerId = 1;
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr int kMargin = 16;
constexpr int kRowHeight = 26;
constexpr int kFontHeight = 18;

struct Options {
  std::string title = kDefaultTitle;
  std::string gamesPath;
  std::string logPath;
  int showAfterMs = -1;
  int lifetimeMs = -1;
  bool noWindow = false;
  std::vector<std::string> unknown;
};

struct EmulatorState {
  Options options;
  std::vector<std::string> games;
  int selected = 0;
  int playing = -1;
  HANDLE log = INVALID_HANDLE_VALUE;
  const char* quitReason = "WM_QUIT";
};

EmulatorState gState;

using ruskel::demo::EpochMs;

// One WriteFile per line on an append handle: nothing is buffered, so a test reading the file
// while we run sees every event the moment it happened.
void Log(const std::string& event, const std::string& details = "") {
  if (gState.log == INVALID_HANDLE_VALUE) return;
  std::string line = std::to_string(EpochMs()) + " " + event;
  if (!details.empty()) line += " " + details;
  line += "\r\n";
  DWORD written = 0;
  WriteFile(gState.log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

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

bool ParseMs(const std::string& text, int& out) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0 || value > 0x7FFFFFFF) return false;
  out = static_cast<int>(value);
  return true;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--title" && hasValue) {
      options.title = argv[++i];
    } else if (arg == "--games" && hasValue) {
      options.gamesPath = argv[++i];
    } else if (arg == "--log" && hasValue) {
      options.logPath = argv[++i];
    } else if (arg == "--show-after" && hasValue && ParseMs(argv[i + 1], options.showAfterMs)) {
      ++i;
    } else if (arg == "--lifetime" && hasValue && ParseMs(argv[i + 1], options.lifetimeMs)) {
      ++i;
    } else if (arg == "--no-window") {
      options.noWindow = true;
    } else {
      options.unknown.push_back(arg);
    }
  }
  std::string dir = ExeDir();
  if (options.gamesPath.empty()) options.gamesPath = dir + "\\games.txt";
  if (options.logPath.empty()) options.logPath = dir + "\\demoemu.log";
  return options;
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

std::string GameDetails(int index) {
  return "index=" + std::to_string(index) + " name=" + gState.games[index];
}

void MoveSelection(HWND window, int delta) {
  if (gState.games.empty()) return;
  int next = gState.selected + delta;
  if (next < 0 || next >= static_cast<int>(gState.games.size())) return;
  gState.selected = next;
  Log("SELECT", GameDetails(next));
  InvalidateRect(window, nullptr, TRUE);
}

void PlaySelected(HWND window) {
  if (gState.games.empty()) return;
  gState.playing = gState.selected;
  Log("PLAY", GameDetails(gState.playing));
  InvalidateRect(window, nullptr, TRUE);
}

void DrawLine(HDC dc, int y, const std::string& text) {
  TextOutA(dc, kMargin, y, text.c_str(), static_cast<int>(text.size()));
}

void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HFONT font = CreateFontA(-kFontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           FIXED_PITCH | FF_MODERN, "Courier New");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);

  // The title is drawn in the window too: screenshots of a desktop without a window manager
  // show no title bar.
  SetTextColor(dc, RGB(120, 200, 255));
  DrawLine(dc, kMargin, gState.options.title);
  SetTextColor(dc, RGB(255, 220, 0));
  std::string header = gState.playing >= 0 ? "Now playing: " + gState.games[gState.playing]
                                           : "Select a game (Up/Down, Return to start)";
  DrawLine(dc, kMargin + kRowHeight, header);

  // Scroll so that the selected row always stays inside the window.
  int listTop = kMargin + 3 * kRowHeight;
  int visibleRows = (client.bottom - listTop - kMargin) / kRowHeight;
  if (visibleRows < 1) visibleRows = 1;
  int first = gState.selected >= visibleRows ? gState.selected - visibleRows + 1 : 0;
  int count = static_cast<int>(gState.games.size());
  for (int i = first; i < count && i < first + visibleRows; ++i) {
    int y = listTop + (i - first) * kRowHeight;
    if (i == gState.selected) {
      RECT band = {kMargin / 2, y - 4, client.right - kMargin / 2, y + kRowHeight - 6};
      HBRUSH highlight = CreateSolidBrush(RGB(40, 90, 200));
      FillRect(dc, &band, highlight);
      DeleteObject(highlight);
      SetTextColor(dc, RGB(255, 255, 255));
    } else {
      SetTextColor(dc, RGB(170, 170, 170));
    }
    DrawLine(dc, y, std::to_string(i) + ". " + gState.games[i]);
  }
  if (count == 0) {
    SetTextColor(dc, RGB(255, 80, 80));
    DrawLine(dc, listTop, "No games found in " + gState.options.gamesPath);
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
  EndPaint(window, &paint);
}

void HandleKeyDown(HWND window, WPARAM vk) {
  Log("KEYDOWN", "vk=" + std::to_string(vk));
  if (vk == VK_DOWN) MoveSelection(window, 1);
  if (vk == VK_UP) MoveSelection(window, -1);
  if (vk == VK_RETURN) PlaySelected(window);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      Log(LOWORD(wParam) == WA_INACTIVE ? "DEACTIVATE" : "ACTIVATE");
      break;
    case WM_SETFOCUS:
      Log("FOCUS");
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      HandleKeyDown(window, wParam);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      Log("KEYUP", "vk=" + std::to_string(wParam));
      break;
    case WM_TIMER:
      if (wParam == kShowTimerId) {
        KillTimer(window, kShowTimerId);
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        Log("SHOWN");
        return 0;
      }
      break;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_CLOSE:
      gState.quitReason = "WM_CLOSE";
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  // Keys still go through DefWindowProc so that Alt combinations behave as usual.
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);

  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(0, kWindowClass, gState.options.title.c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    Log("ERROR", "CreateWindowEx failed error=" + std::to_string(GetLastError()));
    return nullptr;
  }
  bool showNow = gState.options.showAfterMs < 0;
  Log("WINDOW", std::string("created visible=") + (showNow ? "1" : "0"));
  if (showNow) {
    ShowWindow(window, showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    UpdateWindow(window);
    Log("SHOWN");
  } else {
    SetTimer(window, kShowTimerId, static_cast<UINT>(gState.options.showAfterMs), nullptr);
  }
  return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  gState.options = ParseOptions(__argc, __argv);
  gState.log = CreateFileA(gState.options.logPath.c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  Log("START", std::string("cmdline=") + GetCommandLineA() + " cwd=" + CurrentDir());
  for (const std::string& arg : gState.options.unknown) Log("ARG", "unknown=" + arg);
  gState.games = LoadGames(gState.options.gamesPath);
  Log("GAMES",
      "count=" + std::to_string(gState.games.size()) + " file=" + gState.options.gamesPath);

  // A thread timer (no window) so that the lifetime also ends a run that never opens a window.
  UINT_PTR lifetimeTimer = 0;
  if (gState.options.lifetimeMs >= 0) {
    lifetimeTimer = SetTimer(nullptr, 0, static_cast<UINT>(gState.options.lifetimeMs), nullptr);
  }
  if (!gState.options.noWindow) CreateMainWindow(instance, showCommand);

  MSG message;
  int exitCode = 0;
  for (;;) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      exitCode = static_cast<int>(message.wParam);
      break;
    }
    if (got == -1) {
      gState.quitReason = "GetMessage-failed";
      exitCode = 1;
      break;
    }
    if (message.hwnd == nullptr && message.message == WM_TIMER && lifetimeTimer != 0 &&
        message.wParam == lifetimeTimer) {
      gState.quitReason = "lifetime";
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  Log("QUIT", std::string("reason=") + gState.quitReason);
  if (gState.log != INVALID_HANDLE_VALUE) CloseHandle(gState.log);
  return exitCode;
}
