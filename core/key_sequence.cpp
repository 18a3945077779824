#include "core/key_sequence.h"

#include <algorithm>

#include "core/extended_keys.h"
#include "core/number.h"
#include "core/run_log.h"
#include "core/text.h"

namespace ruskel {

std::vector<KeyStroke> StrokesOf(Mainmod& m, const KeySequence& sequence) {
  std::vector<KeyStroke> strokes;
  // A full table (20 steps and the closing tag in the last slot) simply ends
  // at its last slot.
  for (const KeyStep& step : sequence) {
    if (step.key.empty()) break;
    if (step.step) {
      strokes.emplace_back(*step.step);
      continue;
    }
    const std::string action = Trim(step.action);
    const bool down = action == "down";
    if (!down && action != "up") continue;
    // The loader has checked every down/up key; this guards hand-built tables.
    auto key = ReadWholeNumber(step.key, 0, 255);
    if (!key) {
      m.Form.Finish(RunEnd::Error(
          kExitInternal, Compose<Say::StepUnplayable>(Quoted(step.key + "/" + step.action))));
    }
    strokes.push_back({static_cast<std::uint8_t>(*key), down});
  }
  return strokes;
}

void SendStroke(Mainmod& m, KeyStroke stroke) {
  std::uint32_t flags = stroke.down ? 0 : kKeyEventKeyUp;
  std::uint8_t scanCode = 0;
  const ScanCodes mode = m.State.Options.scancodes;
  if (mode != ScanCodes::Off) {
    // DirectInput and raw input read the scan code; 0 is no key to them.
    scanCode = m.Os.keyboard.ScanCodeOf(stroke.virtualKey);
    if (IsExtendedKey(stroke.virtualKey)) flags |= kKeyEventExtendedKey;
    if (mode == ScanCodes::Strict && scanCode != 0 && !NeedsVirtualKeyCode(stroke.virtualKey)) {
      flags |= kKeyEventScanCode;
    }
  }
  std::vector<std::uint8_t>& held = m.State.KeysHeld;
  const auto at = std::find(held.begin(), held.end(), stroke.virtualKey);
  if (!stroke.down && at != held.end()) held.erase(at);
  if (!m.Os.keyboard.SendKeyEvent(stroke.virtualKey, scanCode, flags)) {
    if (stroke.down) {
      Log<Say::KeyDownRefused>(m, stroke.virtualKey);
    } else {
      Log<Say::KeyUpRefused>(m, stroke.virtualKey);
    }
    return;
  }
  if (stroke.down && at == held.end()) held.push_back(stroke.virtualKey);
}

void ReleaseHeldKeys(Mainmod& m) {
  const std::vector<std::uint8_t> held = m.State.KeysHeld;
  if (held.empty()) return;
  std::string names;
  for (std::uint8_t key : held) {
    SendStroke(m, {key, false});
    names += (names.empty() ? "" : ", ") + std::to_string(key);
  }
  m.State.KeysHeld.clear();
  Log<Say::KeysReleased>(m, names);
}

void PlaySequence(Mainmod& m, const KeySequence& sequence) {
  for (const KeyStroke& stroke : StrokesOf(m, sequence)) {
    if (!stroke.step) SendStroke(m, stroke);
  }
}

}  // namespace ruskel
