// One launch at a time per ruskel folder: the name of the guard object and
// what a look at it means. The object itself is the Win32 platform's.
#pragma once

#include <string>

#include "platform/process_ops.h"

namespace ruskel {

// How the look at the guard came out.
enum class GuardLook {
  Taken,          // no one held it: now this process does
  Abandoned,      // its holder ended without letting go: now this process holds it
  HeldElsewhere,  // a run that is still on holds it
  Failed,         // no guard could be made or looked at
};

// Local (one per session): another user's cabinet session is another desktop.
// folderUpper: ruskel's folder upper-cased, as Windows compares paths; a
// name holds no backslash, so the folder is turned into a hash.
std::string LaunchGuardName(const std::string& folderUpper);

// Only a run that is on blocks: a guard left by a run that was ended by
// force, or one that cannot be made, never does.
LaunchClaim ClaimOf(GuardLook look);

}  // namespace ruskel
