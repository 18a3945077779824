#include "core/key_sequence.h"

#include <algorithm>

#include "core/extended_keys.h"
#include "core/number.h"
#include "core/run_log.h"
#include "core/text.h"
#include "platform/sided_keys.h"

namespace ruskel {
namespace {

struct Modifier {
  std::uint8_t key;      // the sided code the system's state has
  std::uint8_t generic;  // the code a walk may press it by; 0: none
  // Released alone, Alt opens the window's menu and a Windows key the Start
  // menu; a key between its press and its release keeps either shut.
  bool needsMask;
};

constexpr Modifier kModifiers[] = {
    {0xA0, 0x10, false}, {0xA1, 0x10, false},  // Shift
    {0xA2, 0x11, false}, {0xA3, 0x11, false},  // Ctrl
    {0xA4, 0x12, true},  {0xA5, 0x12, true},   // Alt
    {0x5B, 0, true},     {0x5C, 0, true},      // Windows
};

// Unassigned in the virtual-key table: no program gives it a meaning.
// https://learn.microsoft.com/en-us/windows/win32/inputdev/virtual-key-codes
constexpr std::uint8_t kMaskKey = 0xE8;

bool WalkAsksFor(const Modifier& modifier, const std::vector<std::uint8_t>& held,
                 std::uint8_t strokeKey) {
  for (std::uint8_t key : {modifier.key, modifier.generic}) {
    if (key == 0) continue;
    if (key == strokeKey || std::find(held.begin(), held.end(), key) != held.end()) return true;
  }
  return false;
}

}  // namespace

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

void ReleaseStrayModifiers(Mainmod& m, const KeyStroke& stroke) {
  const RunState& s = m.State;
  for (const Modifier& modifier : kModifiers) {
    if (WalkAsksFor(modifier, s.KeysHeld, stroke.virtualKey)) continue;
    // Looking at the exit key would take its press from the exit watch's look.
    if (s.ExitKey && IsKeyGiven(modifier.key, *s.ExitKey)) continue;
    if (!m.Os.keyboard.LookAtKey(modifier.key).down) continue;
    if (modifier.needsMask) {
      SendStroke(m, {kMaskKey, true});
      SendStroke(m, {kMaskKey, false});
    }
    SendStroke(m, {modifier.key, false});
    Log<Say::ModifierReleased>(m, modifier.key, stroke.virtualKey);
  }
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
