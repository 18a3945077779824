#include "core/key_names.h"

#include <array>
#include <utility>

#include "core/text.h"

namespace ruskel {
namespace {

// The keys a menu walk or an exit key plausibly uses; the codes are the ones
// winuser.h defines.
constexpr std::array<std::pair<int, const char*>, 48> kNamedKeys{{
    {0x01, "Left mouse button"},
    {0x02, "Right mouse button"},
    {0x04, "Middle mouse button"},
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0C, "Clear"},
    {0x0D, "Return"},
    {0x10, "Shift"},
    {0x11, "Ctrl"},
    {0x12, "Alt"},
    {0x13, "Pause"},
    {0x14, "Caps Lock"},
    {0x1B, "Escape"},
    {0x20, "Space"},
    {0x21, "Page Up"},
    {0x22, "Page Down"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x2C, "Print Screen"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x5B, "Left Windows"},
    {0x5C, "Right Windows"},
    {0x5D, "Menu"},
    {0x6A, "Numpad *"},
    {0x6B, "Numpad +"},
    {0x6D, "Numpad -"},
    {0x6E, "Numpad ."},
    {0x6F, "Numpad /"},
    {0x90, "Num Lock"},
    {0x91, "Scroll Lock"},
    {0xA0, "Left Shift"},
    {0xA1, "Right Shift"},
    {0xA2, "Left Ctrl"},
    {0xA3, "Right Ctrl"},
    {0xA4, "Left Alt"},
    {0xA5, "Right Alt"},
    {0xBA, "; (OEM 1)"},
    {0xBB, "="},
    {0xBC, ","},
    {0xBD, "-"},
    {0xBE, "."},
    {0xBF, "/ (OEM 2)"},
    {0xC0, "` (OEM 3)"},
}};

}  // namespace

std::string KeyName(std::int64_t code) {
  if (code >= '0' && code <= '9') return std::string(1, static_cast<char>(code));
  if (code >= 'A' && code <= 'Z') return std::string(1, static_cast<char>(code));
  if (code >= 0x60 && code <= 0x69)
    return std::string("Numpad ").append(std::to_string(code - 0x60));
  if (code >= 0x70 && code <= 0x87) return std::string("F").append(std::to_string(code - 0x70 + 1));
  for (const auto& [named, name] : kNamedKeys) {
    if (named == code) return name;
  }
  if (code < 0 || code > 255) return "no key";
  return "VK 0x" + Hex(static_cast<std::uint32_t>(code), 2);
}

std::string KeyWithCode(std::int64_t code) {
  return KeyName(code) + " (" + std::to_string(code) + ")";
}

}  // namespace ruskel
