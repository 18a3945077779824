// Finding the emulator's window by its title, and asking it to quit.
#pragma once

#include <optional>
#include <string>

#include "core/mainmod.h"

namespace ruskel {

inline constexpr const char* kNullWord = "null";

// The window the run waits for: among the windows with the title, those of
// the emulator's own processes, and of these a visible one first. Windows of
// other processes (left over from an earlier emulator) count only when
// othersToo is set.
std::optional<WindowInfo> ChooseEmulatorWindow(Mainmod& m, bool othersToo);

// True for the started process, the owner of the emulator window and every
// process either of them started.
bool InEmulatorTree(Mainmod& m, ProcessId process);

// What CloseEmulator asked to quit.
struct CloseRequest {
  WindowHandle window = 0;  // 0: nothing was posted
  ProcessId process = 0;    // the process to wait for; 0: none known
  std::string postError;    // why posting failed (an elevated emulator refuses: error 5)
};

// Posts WM_QUIT to the emulator window found afresh by title or, with close
// mode "null", to the foreground window when it belongs to the emulator (the
// emulator's own window otherwise). A window of another program never gets it.
// Does not wait.
CloseRequest CloseEmulator(Mainmod& m);

// Posts WM_QUIT only to a window with the emulator's title (none with title
// "null"), the emulator's own first.
CloseRequest QuitTitledWindow(Mainmod& m);

}  // namespace ruskel
