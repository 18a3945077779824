#include "tools/check/pad_watch.h"

#include <gtest/gtest.h>

#include "stand_in_probe.h"

namespace ruskel::check {
namespace {

TEST(PadWatchTest, PrintsEachChangeInWinmmNumberingUntilAFreshEsc) {
  StandInProbe probe;
  const PadsAnswer none{16, {}, "xinput1_4.dll", {}};
  const PadsAnswer idle{16, {{0, 12, 0}}, "xinput1_4.dll", {{0, 0}}};
  PadsAnswer held = idle;
  held.winmm[0].buttons = 4;
  held.xinput[0].buttons = 0x1000 | 0x4000;  // A and X
  probe.pads = {none, none, idle, held, held, idle};
  // Esc still down from starting the program, then let go, then pressed.
  probe.escape = {true, false, false, false, false, false, false, true};
  std::string out;
  WatchPads(probe, [&out](const std::string& line) { out += line + "\n"; });

  const std::string expected =
      "no game pad answers; plug one in, it is looked for every few seconds\n"
      "XInput pad 0: answers (through xinput1_4.dll; buttons as winmm numbers them)\n"
      "XInput pad 0: nothing held\n"
      "joystick 0 (winmm): answers, 12 buttons\n"
      "joystick 0 (winmm): nothing held\n"
      "XInput pad 0: -butx5  (mask 5: buttons 1+3 together, buttons 5 and up not looked at "
      "(Xbox pad: A + X))\n"
      "joystick 0 (winmm): -butx4  (mask 4: button 3 alone, buttons 5 and up not looked at "
      "(Xbox pad: X))\n"
      "XInput pad 0: nothing held\n"
      "joystick 0 (winmm): nothing held\n"
      "Esc pressed: done.\n";
  EXPECT_EQ(out.substr(out.find('\n') + 1), expected);
  EXPECT_EQ(probe.escapeLooks, probe.escape.size());
}

}  // namespace
}  // namespace ruskel::check
