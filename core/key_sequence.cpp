#include "core/key_sequence.h"

#include "core/fatal.h"
#include "core/number.h"
#include "core/text.h"

namespace ruskel {

void PlaySequence(Mainmod& m, const KeySequence& sequence) {
  // A full table (20 steps and the closing tag in the last slot) simply ends
  // at its last slot.
  for (const KeyStep& step : sequence) {
    if (step.key.empty()) return;
    const std::string action = Trim(step.action);
    const bool down = action == "down";
    if (!down && action != "up") continue;
    // The loader has checked every down/up key; this guards hand-built tables.
    auto key = ReadWholeNumber(step.key, 0, 255);
    if (!key) {
      Fatal(m,
            "Cannot play the step " + Quoted(step.key + "/" + step.action) +
                ": the key is not a virtual-key code from 0 to 255.",
            kExitInternal);
    }
    m.Os.SendKeyEvent(static_cast<std::uint8_t>(*key), 0, down ? 0 : kKeyEventKeyUp, 0);
  }
}

}  // namespace ruskel
