// The end of a run as the front end meets it: the exit key and button
// already let go, and its own window in front.
#pragma once

#include <cstdint>

#include "core/mainmod.h"
#include "driver/exit_watch.h"

namespace ruskel {

// The exit key and button are handed back released: the end waits for them to
// go up, looking this often, for at most the cap.
inline constexpr std::uint32_t kReleaseLookMs = 20;
inline constexpr std::uint64_t kReleaseCapMs = 5000;

// The end's last steps: the exit key and button let go, the front handed back.
void HandOver(Mainmod& m, const ExitWatch& exitWatch);

}  // namespace ruskel
