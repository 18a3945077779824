// ruskel.exe: hands over to Main, then lives in the message loop until a
// handler ends the process.
#include <windows.h>

#include "core/startup.h"
#include "driver/form1.h"
#include "platform/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The one record of the run, zero-filled, on the stack: as a global it took
  // 18 KB of the exe's initialised data. The message loop never returns, so it
  // lives as long as the process.
  ruskel::RunState state{};
  ruskel::Win32Platform os;
  ruskel::Form1 form(os, state);
  ruskel::Main(form.Run());
  os.RunMessageLoop();
}
