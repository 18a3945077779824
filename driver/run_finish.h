// The end of every run, whatever the way out: what the run changed on the
// desktop put back once, an error's box, the exit key let go, the front
// handed back, the exit code.
#pragma once

#include "core/mainmod.h"
#include "driver/exit_watch.h"
#include "driver/key_hold.h"
#include "driver/pointer_keeper.h"

namespace ruskel {

class DesktopRestore {
 public:
  // The player's keys let through again, the curtain lifted, the pointer put
  // back, ruskel's held keys released. The first call of a run acts; the
  // closing and the end may both call it.
  void Restore(Mainmod& m, PointerKeeper& pointer, KeyHold& hold);

 private:
  bool restored_ = false;
};

// exitWatch: set once the run has begun; the end then waits for the exit key
// and button to be let go and hands the front back.
[[noreturn]] void FinishRun(Mainmod& m, const RunEnd& end, DesktopRestore& desktop,
                            PointerKeeper& pointer, KeyHold& hold, const ExitWatch* exitWatch);

}  // namespace ruskel
