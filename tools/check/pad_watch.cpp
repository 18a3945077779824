#include "tools/check/pad_watch.h"

#include <map>

#include "core/exit_inputs.h"
#include "driver/pad_reading.h"

namespace ruskel::check {
namespace {

struct PadSeen {
  std::string found;        // what to say when it starts answering
  std::uint32_t buttons{};  // in winmm numbering, as -butx counts them
};

// Every pad that answers now, by a name that stays the same while it answers.
std::map<std::string, PadSeen> PadsNow(const PadsAnswer& pads) {
  std::map<std::string, PadSeen> now;
  for (const WinmmPad& pad : pads.winmm) {
    now["joystick " + std::to_string(pad.id) + " (winmm)"] = {
        "answers, " + std::to_string(pad.buttonCount) + " buttons", pad.buttons};
  }
  for (const XInputPad& pad : pads.xinput) {
    now["XInput pad " + std::to_string(pad.slot)] = {
        "answers (through " + pads.xinputDll + "; buttons as winmm numbers them)",
        WinmmButtonsOfXInput(pad.buttons)};
  }
  return now;
}

std::string HeldLine(const std::string& name, std::uint32_t buttons) {
  if (buttons == 0) return name + ": nothing held";
  return name + ": -butx" + std::to_string(buttons) + "  (" + DescribeButtonMask(buttons) + ")";
}

}  // namespace

void WatchPads(SystemProbe& probe, const std::function<void(const std::string&)>& print) {
  print(
      "Hold the button or buttons that are to end a game: every change shows the -butx "
      "that matches. Esc ends.");
  std::map<std::string, PadSeen> last;
  bool escapeWasUp = false;
  bool saidNone = false;
  for (;;) {
    const bool escape = probe.EscapeDown();
    if (escape && escapeWasUp) break;
    escapeWasUp = escapeWasUp || !escape;

    const std::map<std::string, PadSeen> now = PadsNow(probe.Pads());
    for (const auto& [name, pad] : last) {
      if (!now.contains(name)) print(name + ": no longer answers");
    }
    for (const auto& [name, pad] : now) {
      const auto before = last.find(name);
      if (before == last.end()) print(name + ": " + pad.found);
      if (before == last.end() || before->second.buttons != pad.buttons) {
        print(HeldLine(name, pad.buttons));
      }
    }
    if (now.empty() && !saidNone) {
      print("no game pad answers; plug one in, it is looked for every few seconds");
    }
    saidNone = now.empty();
    last = now;
    probe.Wait(kPadWatchPollMs);
  }
  print("Esc pressed: done.");
}

}  // namespace ruskel::check
