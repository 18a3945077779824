// The mouse pointer on Windows: its position, the monitor under a window, and
// the standard system cursors swapped for a blank one and back.
#define OEMRESOURCE  // the OCR_* ids of the system cursors
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32_handles.h"
#include "platform/win32_platform.h"

namespace ruskel {
namespace {

// The standard cursors SetSystemCursor replaces, as its documentation lists
// them; OCR_HELP has no name in every SDK.
constexpr DWORD kOcrHelp = 32651;
constexpr DWORD kSystemCursors[] = {
    OCR_NORMAL, OCR_IBEAM,  OCR_WAIT,    OCR_CROSS, OCR_UP,   OCR_SIZENWSE,    OCR_SIZENESW,
    OCR_SIZEWE, OCR_SIZENS, OCR_SIZEALL, OCR_NO,    OCR_HAND, OCR_APPSTARTING, kOcrHelp,
};

// A cursor that leaves the screen as it is: a set AND bit keeps the pixel
// under it, a clear XOR bit changes nothing.
HCURSOR BlankCursor() {
  const int width = GetSystemMetrics(SM_CXCURSOR);
  const int height = GetSystemMetrics(SM_CYCURSOR);
  // Each row of a monochrome mask is padded to a whole 16-bit word.
  const std::size_t size = static_cast<std::size_t>((width + 15) / 16 * 2 * height);
  const std::vector<BYTE> andMask(size, 0xFF);
  const std::vector<BYTE> xorMask(size, 0x00);
  return CreateCursor(GetModuleHandleA(nullptr), 0, 0, width, height, andMask.data(),
                      xorMask.data());
}

// The mark is a file in the user's temporary folder: per user, as the system
// cursors are; writable wherever ruskel is installed (Program Files included);
// seen by every copy of ruskel (one per emulator folder is common, and the run
// after a kill may be another emulator's); and nothing is left in the
// registry. A log-off brings the cursors back by itself; a mark outliving it
// costs the next start one harmless restore.
std::string MarkPath() {
  char folder[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) return {};
  return std::string(folder, length) + "ruskel-cursors-blank.txt";
}

}  // namespace

std::optional<ScreenPoint> Win32Platform::PointerPosition() {
  POINT point{};
  // Fails while another desktop (a secure screen, a locked session) has the input.
  if (!GetCursorPos(&point)) return std::nullopt;
  return ScreenPoint{point.x, point.y};
}

bool Win32Platform::MovePointer(ScreenPoint to) {
  // Wine moves the real pointer only when its own record of the position
  // changes, and that record can be stale: a window shown under the pointer
  // while it was parked reports the old place, and the move back is then
  // skipped. A step to the next pixel first makes every move happen; on
  // Windows it is one more mouse move at once.
  SetCursorPos(to.x > 0 ? to.x - 1 : to.x + 1, to.y);
  // The window under the pointer gets a mouse move, as from a real mouse. A
  // ClipCursor rectangle set by the emulator holds the pointer inside it.
  return SetCursorPos(to.x, to.y) != FALSE;
}

ScreenRect Win32Platform::MonitorOf(WindowHandle window) {
  const HWND hwnd = ToHwnd(window);
  // A window spread over two monitors counts as on the one it covers most.
  HMONITOR monitor = window != 0 && IsWindow(hwnd)
                         ? MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST)
                         : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  // The whole monitor, taskbar included: the pointer may rest over it.
  return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

int Win32Platform::BlankSystemCursors() {
  int replaced = 0;
  for (DWORD id : kSystemCursors) {
    // SetSystemCursor takes the cursor over and destroys it when it is replaced
    // in turn, so each id gets its own copy; a refused one is still ours.
    HCURSOR blank = BlankCursor();
    if (blank == nullptr) break;
    if (SetSystemCursor(blank, id)) {
      ++replaced;
    } else {
      DestroyCursor(blank);
    }
  }
  return replaced;
}

bool Win32Platform::RestoreSystemCursors() {
  // Reloads every system cursor from the user's scheme, as at log-on: the
  // documented way back after SetSystemCursor. Nothing in the settings changed,
  // so no WM_SETTINGCHANGE is sent to every window.
  return SystemParametersInfoA(SPI_SETCURSORS, 0, nullptr, 0) != FALSE;
}

bool Win32Platform::MarkCursorsBlank(bool blank) {
  const std::string path = MarkPath();
  if (path.empty()) return !blank;
  if (!blank) return DeleteFileA(path.c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
  return WriteWholeFile(path,
                        "ruskel made the system cursors blank for a run. If this file is still "
                        "here, that run was ended by force: the next start of ruskel restores "
                        "the cursors and deletes it.\r\n");
}

bool Win32Platform::CursorsMarkedBlank() {
  const std::string path = MarkPath();
  return !path.empty() && FileExists(path);
}

bool Win32Platform::ClickLeft(ScreenPoint at) {
  if (!MovePointer(at)) return false;
  // Where the pointer now is: a press without a move of its own, as a user's.
  INPUT inputs[2]{};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

}  // namespace ruskel
