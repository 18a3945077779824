// ruskel-check --watch-pads: shows, live, the -butx mask of the buttons held
// on every pad, so that a cabinet owner finds the exit button's number by
// holding it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tools/check/probes/system_probe.h"

namespace ruskel::check {

// As often as ruskel reads the pads during a run.
inline constexpr std::uint32_t kPadWatchPollMs = 50;

// Prints a line for every pad that starts or stops answering and for every
// change of what is held, until Esc is pressed (a press begun after the
// watch started: an Esc still held from starting the program does not count).
void WatchPads(SystemProbe& probe, const std::function<void(const std::string&)>& print);

}  // namespace ruskel::check
