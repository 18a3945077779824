#include "core/exit_inputs.h"

#include <array>

#include "core/log_texts.h"
#include "core/number.h"
#include "core/text.h"

namespace ruskel {
namespace {

// Up to this mask a reading's buttons 5 and up are not looked at.
constexpr ButtonMask kFourButtons = 15;
constexpr int kMaskBits = 32;

// Windows' own XInput-to-winmm numbering, bit by bit.
constexpr std::array<const char*, 10> kXboxNames = {
    "A", "B", "X", "Y", "LB", "RB", "Back", "Start", "left stick", "right stick"};

}  // namespace

std::optional<ExitKeyCode> ExitKeyOf(std::string_view text) {
  if (Trim(text).empty()) return kDefaultExitKey;
  const auto number = ReadNumber(text);
  if (!number) return std::nullopt;
  const auto code = ToInt32(*number);
  if (!code || *code < 1 || *code > 255) return std::nullopt;
  return static_cast<ExitKeyCode>(*code);
}

std::optional<ButtonMask> ExitButtonOf(std::string_view text) {
  const auto number = ReadNumber(text);
  if (!number) return std::nullopt;
  // 0, a value that rounds to 0 and one beyond 32 bits would all equal an
  // idle pad's mask and end the run at once, so they mean no button.
  const auto mask = ToInt32(*number);
  if (!mask || *mask < 1) return std::nullopt;
  return static_cast<ButtonMask>(*mask);
}

std::string WhyNoExitKey(std::string_view text) {
  return Compose<Say::NoKeyCode>(Quoted(text));
}

std::string WhyNoExitButton(std::string_view text) {
  if (!ReadNumber(text)) return Compose<Say::NoNumber>(Quoted(text));
  return Compose<Say::NoButtonMask>(Quoted(text));
}

bool ButtonsMatch(ButtonMask buttons, ButtonMask exitButton) {
  if (exitButton <= kFourButtons) return (buttons & kFourButtons) == exitButton;
  return buttons == exitButton;
}

std::string XboxButtonNames(ButtonMask mask) {
  std::string out;
  for (int bit = 0; bit < kMaskBits; ++bit) {
    if ((mask & (ButtonMask{1} << bit)) == 0) continue;
    if (!out.empty()) out += " + ";
    out += bit < static_cast<int>(kXboxNames.size())
               ? std::string(kXboxNames[static_cast<std::size_t>(bit)])
               : "button " + std::to_string(bit + 1);
  }
  return out;
}

std::string DescribeButtonMask(ButtonMask mask) {
  std::string buttons;
  int count = 0;
  bool xbox = true;  // every button is one an Xbox pad has
  for (int bit = 0; bit < kMaskBits; ++bit) {
    if ((mask & (ButtonMask{1} << bit)) == 0) continue;
    if (count++ > 0) buttons += '+';
    buttons += std::to_string(bit + 1);
    xbox = xbox && bit < static_cast<int>(kXboxNames.size());
  }
  if (count == 0) return "mask 0: no buttons";
  std::string out =
      "mask " + std::to_string(mask) +
      (count == 1 ? ": button " + buttons + " alone" : ": buttons " + buttons + " together");
  // Asked of the match itself, so that the words follow what the run does.
  const bool othersIgnored = ButtonsMatch(mask | ~kFourButtons, mask);
  out += othersIgnored ? ", buttons 5 and up not looked at" : ", nothing else held";
  if (xbox) out += " (Xbox pad: " + XboxButtonNames(mask) + ")";
  return out;
}

}  // namespace ruskel
