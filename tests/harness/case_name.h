// Readable names for the cases of parameterised tests: ctest and
// --gtest_filter show them, so a failing case can be found by what it tests.
#pragma once

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

namespace ruskel::testing {

// The case's number, then its text as letters and digits, with line-end
// characters spelled out and every other run of characters as one
// underscore: "-keyx65 -mygame" at index 3 gives 3_keyx65_mygame, "a\r\n" gives
// 0_a_CR_LF. The number keeps names unique when texts differ only in
// punctuation; long texts are cut.
inline std::string CaseName(std::size_t index, std::string_view text) {
  constexpr std::size_t kMaxLength = 60;
  std::string out = std::to_string(index);
  bool gap = true;
  auto add = [&](std::string_view word) {
    if (gap) out += '_';
    out += word;
    gap = false;
  };
  for (char c : text) {
    if (out.size() >= kMaxLength) break;
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\r' || c == '\n' || c == '\t') {
      gap = true;
      add(c == '\r' ? "CR" : c == '\n' ? "LF" : "TAB");
      gap = true;
    } else if (u < 128 && std::isalnum(u)) {
      add(std::string_view(&c, 1));
    } else {
      gap = true;
    }
  }
  if (out.find('_') == std::string::npos) out += "_empty";
  return out;
}

// A name generator for INSTANTIATE_TEST_SUITE_P; label(param) gives the text.
template <typename Label>
auto NamedBy(Label label) {
  return [label](const auto& info) { return CaseName(info.index, label(info.param)); };
}

}  // namespace ruskel::testing
