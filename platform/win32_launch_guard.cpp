// One launch at a time: a named mutex per ruskel folder, owned by the thread
// that runs the whole run. Windows lets go of it when the process ends, a
// kill included; the next look then finds it free or abandoned.
#include <windows.h>

#include "platform/launch_guard.h"
#include "platform/win32_platform.h"

namespace ruskel {

LaunchClaim Win32Platform::ClaimLaunch() {
  const std::string name = LaunchGuardName(UpperAnsi(ProgramDirectory()));
  // Not inheritable: the emulator must not keep it alive.
  HANDLE guard = CreateMutexA(nullptr, FALSE, name.c_str());
  GuardLook look = GuardLook::Failed;
  if (guard == nullptr) {
    // Made by a run at a higher level (run as administrator), which is on.
    if (GetLastError() == ERROR_ACCESS_DENIED) look = GuardLook::HeldElsewhere;
  } else {
    switch (WaitForSingleObject(guard, 0)) {
      case WAIT_OBJECT_0:
        look = GuardLook::Taken;
        break;
      case WAIT_ABANDONED:
        look = GuardLook::Abandoned;
        break;
      case WAIT_TIMEOUT:
        look = GuardLook::HeldElsewhere;
        break;
      default:
        break;
    }
  }
  // The handle stays open until the process ends: closing it would not let
  // go of a guard this thread owns, and a second launch ends at once.
  return ClaimOf(look);
}

}  // namespace ruskel
