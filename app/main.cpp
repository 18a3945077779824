// ruskel.exe: hands over to Main, then lives in the message loop until a
// handler ends the process.
#include <windows.h>

#include "core/startup.h"
#include "driver/form1.h"
#include "platform/win32_platform.h"

namespace {

ruskel::RunState g_state;  // the one record of the run, zero-filled at start

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ruskel::Win32Platform os;
  ruskel::Form1 form(os, g_state);
  ruskel::Main(form.Run());
  os.RunMessageLoop();
}
