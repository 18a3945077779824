#include "demo/menu_window.h"

#include <utility>

#include "demo/event_log.h"
#include "demo/key_holds.h"

namespace ruskel::demo {
namespace {

constexpr UINT_PTR kShowTimerId = 1;
constexpr UINT_PTR kSplashTimerId = 2;
// Drawn at the top right of the menu once it reads keys, for pixel waits to look at.
constexpr COLORREF kReadyMark = RGB(0, 200, 80);
constexpr RECT kReadyMarkRect = {600, 8, 632, 40};
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr int kSecondWidth = 320;
constexpr int kSecondHeight = 120;
constexpr int kMargin = 16;
constexpr int kRowHeight = 26;
constexpr int kFontHeight = 18;

struct MenuState {
  MenuSetup setup;
  HWND main = nullptr;
  HWND second = nullptr;
  int selected = 0;
  int playing = -1;
  bool mainGone = false;
  bool splashing = false;
  std::string closeReason;
  HFONT font = nullptr;
};

MenuState gMenu;

const Options& Opts() {
  return *gMenu.setup.options;
}
const std::vector<std::string>& Games() {
  return gMenu.setup.games;
}

std::string GameDetails(int index) {
  return "index=" + std::to_string(index) + " name=" + Games()[index];
}

const char* WindowName(HWND window) {
  return window == gMenu.second ? "second" : "main";
}

// What a move past either end of the list does.
enum class AtEnd { Stay, Stop, Wrap };

void MoveSelection(int delta, AtEnd atEnd) {
  if (Games().empty()) return;
  const int count = static_cast<int>(Games().size());
  int next = gMenu.selected + delta;
  if (next < 0 || next >= count) {
    if (atEnd == AtEnd::Stay) return;
    if (atEnd == AtEnd::Wrap) next = (next % count + count) % count;
    if (atEnd == AtEnd::Stop) next = next < 0 ? 0 : count - 1;
  }
  if (next == gMenu.selected) return;
  gMenu.selected = next;
  Log("SELECT", GameDetails(next));
  if (gMenu.main != nullptr) InvalidateRect(gMenu.main, nullptr, TRUE);
}

void PlaySelected() {
  if (Games().empty()) return;
  gMenu.playing = gMenu.selected;
  Log("PLAY", GameDetails(gMenu.playing));
  if ((!Opts().titleSuffix.empty() || Opts().gameTitle) && gMenu.main != nullptr) {
    std::string title = (Opts().noTitle ? "" : Opts().title) + Opts().titleSuffix;
    if (Opts().gameTitle) title += " - " + Games()[gMenu.playing];
    SetWindowTextA(gMenu.main, title.c_str());
    Log("TITLE", "text=" + title);
  }
  if (gMenu.main != nullptr) InvalidateRect(gMenu.main, nullptr, TRUE);
}

void DrawLine(HDC dc, int y, const std::string& text) {
  TextOutA(dc, kMargin, y, text.c_str(), static_cast<int>(text.size()));
}

void PaintSplash(HDC dc) {
  SetTextColor(dc, RGB(120, 200, 255));
  DrawLine(dc, kMargin, Opts().title);
  SetTextColor(dc, RGB(170, 170, 170));
  DrawLine(dc, kMargin + 2 * kRowHeight, "Loading...");
}

void PaintMenu(HDC dc, const RECT& client) {
  HBRUSH mark = CreateSolidBrush(kReadyMark);
  FillRect(dc, &kReadyMarkRect, mark);
  DeleteObject(mark);
  // The title is drawn in the window too: screenshots of a desktop without a window manager
  // show no title bar.
  SetTextColor(dc, RGB(120, 200, 255));
  DrawLine(dc, kMargin, Opts().title);
  SetTextColor(dc, RGB(255, 220, 0));
  std::string header = gMenu.playing >= 0 ? "Now playing: " + Games()[gMenu.playing]
                                          : "Select a game (Up/Down, Return to start)";
  DrawLine(dc, kMargin + kRowHeight, header);

  // Scroll so that the selected row always stays inside the window.
  int listTop = kMargin + 3 * kRowHeight;
  int visibleRows = (client.bottom - listTop - kMargin) / kRowHeight;
  if (visibleRows < 1) visibleRows = 1;
  int first = gMenu.selected >= visibleRows ? gMenu.selected - visibleRows + 1 : 0;
  int count = static_cast<int>(Games().size());
  for (int i = first; i < count && i < first + visibleRows; ++i) {
    int y = listTop + (i - first) * kRowHeight;
    if (i == gMenu.selected) {
      RECT band = {kMargin / 2, y - 4, client.right - kMargin / 2, y + kRowHeight - 6};
      HBRUSH highlight = CreateSolidBrush(RGB(40, 90, 200));
      FillRect(dc, &band, highlight);
      DeleteObject(highlight);
      SetTextColor(dc, RGB(255, 255, 255));
    } else {
      SetTextColor(dc, RGB(170, 170, 170));
    }
    DrawLine(dc, y, std::to_string(i) + ". " + Games()[i]);
  }
  if (count == 0) {
    SetTextColor(dc, RGB(255, 80, 80));
    DrawLine(dc, listTop, "No games found in " + Opts().gamesPath);
  }
}

void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HGDIOBJ oldFont = SelectObject(dc, gMenu.font);
  SetBkMode(dc, TRANSPARENT);
  if (window == gMenu.second) {
    SetTextColor(dc, RGB(170, 170, 170));
    DrawLine(dc, kMargin, Opts().secondTitle);
  } else if (gMenu.splashing) {
    PaintSplash(dc);
  } else {
    PaintMenu(dc, client);
  }
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

// From the window's showing, the splash stays for --splash ms.
void StartSplash(HWND window) {
  if (Opts().splashMs <= 0) return;
  gMenu.splashing = true;
  SetTimer(window, kSplashTimerId, static_cast<UINT>(Opts().splashMs), nullptr);
  InvalidateRect(window, nullptr, TRUE);
  Log("SPLASH", "ms=" + std::to_string(Opts().splashMs));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Only the main window reads keys, as an emulator's game window does.
  if (window == gMenu.main) {
    NoteKeyMessage(message, wParam);
    if (gMenu.setup.reader != nullptr) gMenu.setup.reader->OnMessage(message, wParam, lParam);
  }
  switch (message) {
    case WM_ACTIVATE:
      if (window == gMenu.main) Log(LOWORD(wParam) == WA_INACTIVE ? "DEACTIVATE" : "ACTIVATE");
      break;
    case WM_SETFOCUS:
      if (window == gMenu.main) Log("FOCUS");
      break;
    case WM_LBUTTONDOWN:
      // Client-area pixels, as a click step names them.
      if (window == gMenu.main) {
        Log("CLICK", "x=" + std::to_string(static_cast<short>(LOWORD(lParam))) +
                         " y=" + std::to_string(static_cast<short>(HIWORD(lParam))));
      }
      break;
    case WM_TIMER:
      if (wParam == kShowTimerId) {
        KillTimer(window, kShowTimerId);
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        Log("SHOWN");
        StartSplash(window);
        return 0;
      }
      if (wParam == kSplashTimerId) {
        KillTimer(window, kSplashTimerId);
        gMenu.splashing = false;
        InvalidateRect(window, nullptr, TRUE);
        Log("READY");
        return 0;
      }
      break;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_CLOSE:
      if (Opts().ignoreClose) {
        Log("IGNORED", std::string("WM_CLOSE window=") + WindowName(window));
        return 0;
      }
      if (window == gMenu.second) {
        Log("CLOSED", "window=second");
        DestroyWindow(window);
        return 0;
      }
      gMenu.closeReason = "WM_CLOSE";
      DestroyMenuWindows();
      return 0;
    case WM_DESTROY:
      if (window == gMenu.second) {
        gMenu.second = nullptr;
      } else {
        gMenu.main = nullptr;
        gMenu.mainGone = true;
        PostQuitMessage(0);
      }
      return 0;
    default:
      break;
  }
  // Keys still go through DefWindowProc so that Alt combinations behave as usual.
  return DefWindowProcA(window, message, wParam, lParam);
}

// Loading a font the first time takes long under Wine; done before the window is shown, the
// first paint does not hold up a reader that polls once per frame.
void LoadFont() {
  gMenu.font = CreateFontA(-kFontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           FIXED_PITCH | FF_MODERN, "Courier New");
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kClientWidth, kRowHeight);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HGDIOBJ oldFont = SelectObject(memory, gMenu.font);
  const std::string sample = "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz.:";
  TextOutA(memory, 0, 0, sample.c_str(), static_cast<int>(sample.size()));
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

HWND CreateTopLevel(HINSTANCE instance, const std::string& title, int width, int height) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, width, height};
  AdjustWindowRect(&frame, style, FALSE);
  return CreateWindowExA(0, Opts().windowClass.c_str(), title.c_str(), style, CW_USEDEFAULT,
                         CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                         nullptr, instance, nullptr);
}

}  // namespace

HWND CreateMenuWindows(HINSTANCE instance, MenuSetup setup) {
  gMenu.setup = std::move(setup);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = Opts().windowClass.c_str();
  RegisterClassA(&windowClass);
  LoadFont();

  HWND window =
      CreateTopLevel(instance, Opts().noTitle ? "" : Opts().title, kClientWidth, kClientHeight);
  if (window == nullptr) {
    Log("ERROR", "CreateWindowEx failed error=" + std::to_string(GetLastError()));
    return nullptr;
  }
  gMenu.main = window;
  return window;
}

void ShowMenuWindows(HINSTANCE instance, int showCommand) {
  HWND window = gMenu.main;
  if (window == nullptr) return;
  bool showNow = Opts().showAfterMs < 0 && !Opts().hidden;
  std::string created = std::string("created visible=") + (showNow ? "1" : "0");
  if (Opts().minimized) created += " minimized=1";
  Log("WINDOW", created);
  if (showNow) {
    int show = Opts().minimized ? SW_SHOWMINIMIZED
                                : (showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    gMenu.splashing = Opts().splashMs > 0;  // painted as the splash from the first paint
    ShowWindow(window, show);
    UpdateWindow(window);
    Log("SHOWN");
    StartSplash(window);
  } else if (!Opts().hidden) {
    SetTimer(window, kShowTimerId, static_cast<UINT>(Opts().showAfterMs), nullptr);
  }

  if (Opts().twoWindows) {
    // Shown without taking the focus, so the game window stays in front.
    gMenu.second = CreateTopLevel(instance, Opts().secondTitle, kSecondWidth, kSecondHeight);
    if (gMenu.second != nullptr) {
      ShowWindow(gMenu.second, SW_SHOWNOACTIVATE);
      Log("SECOND", "created visible=1");
    }
  }
}

void MenuKey(bool down, int vk) {
  if (!down) return;
  static int presses = 0;
  if (Opts().freezeAfterKeys > 0 && ++presses >= Opts().freezeAfterKeys) {
    Log("FREEZE", "vk=" + std::to_string(vk));
    for (;;) Sleep(INFINITE);
  }
  if (gMenu.splashing) {
    Log("LOST", "vk=" + std::to_string(vk));
    return;
  }
  const AtEnd lineEnd = Opts().wrap ? AtEnd::Wrap : AtEnd::Stay;
  if (vk == VK_DOWN) MoveSelection(1, lineEnd);
  if (vk == VK_UP) MoveSelection(-1, lineEnd);
  // A page stops at the first or last line, as list boxes do.
  if (Opts().pageLines > 0 && vk == Opts().pageDownKey)
    MoveSelection(Opts().pageLines, AtEnd::Stop);
  if (Opts().pageLines > 0 && vk == Opts().pageUpKey) MoveSelection(-Opts().pageLines, AtEnd::Stop);
  if (vk == VK_RETURN) PlaySelected();
}

void DestroyMenuWindows() {
  if (gMenu.second != nullptr) DestroyWindow(gMenu.second);
  if (gMenu.main != nullptr) DestroyWindow(gMenu.main);
}

bool MenuWindowGone() {
  return gMenu.mainGone;
}

const std::string& MenuCloseReason() {
  return gMenu.closeReason;
}

}  // namespace ruskel::demo
