#include "core/walk_steps.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/text.h"

namespace ruskel {
namespace {

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// Plain decimal digits only: "+5", "5.0" and "1e3" are not coordinates.
std::optional<std::int64_t> Digits(std::string_view text, std::int64_t max) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > max) return std::nullopt;
  return value;
}

bool ReadPoint(std::string_view text, WalkStep& step) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  auto x = Digits(text.substr(0, comma), kMaxClientCoordinate);
  auto y = Digits(text.substr(comma + 1), kMaxClientCoordinate);
  if (!x || !y) return false;
  step.x = static_cast<std::int32_t>(*x);
  step.y = static_cast<std::int32_t>(*y);
  return true;
}

std::optional<std::uint32_t> ReadColour(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return value;
}

// Edits between two words, two swapped neighbours counting as one: "pixle"
// is one slip from "pixel", not two, and then nearer it than to "title".
std::size_t SlipDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

StepError Wrong(const std::string& what, const char* form) {
  return {what + "; the form is " + Quoted(form)};
}

const std::string kPointHelp = " (whole pixels from 0 to 32767, x then y, no blanks)";

StepReading ReadWait(const std::vector<std::string>& w, std::string_view line) {
  WalkStep step;
  if (w.size() < 2) return Wrong("the wait says not what to wait for", kPauseForm);
  const std::string& what = w[1];
  if (what == "pixel") {
    step.kind = StepKind::Pixel;
    if (w.size() != 4) return Wrong("a pixel wait takes a point and a colour", kPixelForm);
    if (!ReadPoint(w[2], step)) {
      return Wrong("the point " + Quoted(w[2]) + " is not x,y" + kPointHelp, kPixelForm);
    }
    auto colour = ReadColour(w[3]);
    if (!colour) {
      return Wrong("the colour " + Quoted(w[3]) + " is not six hex digits RRGGBB (such as FF8800)",
                   kPixelForm);
    }
    step.colour = *colour;
    return step;
  }
  if (what == "title") {
    step.kind = StepKind::Title;
    // The text is the rest of the line, inner blanks kept.
    const std::size_t at = line.find("title") + 5;
    step.text = Trim(line.substr(at));
    if (step.text.empty()) return Wrong("the title wait has no text to look for", kTitleForm);
    return step;
  }
  if (what == "idle") {
    step.kind = StepKind::Idle;
    if (w.size() != 2) return Wrong("a wait idle takes nothing after it", kIdleForm);
    return step;
  }
  if (auto ms = Digits(what, kMaxPauseMs)) {
    if (w.size() != 2) return Wrong("a pause takes one number of milliseconds", kPauseForm);
    step.kind = StepKind::Pause;
    step.ms = static_cast<std::uint32_t>(*ms);
    return step;
  }
  if (!what.empty() && what[0] >= '0' && what[0] <= '9') {
    return Wrong("the pause " + Quoted(what) + " is not a whole number of milliseconds from 0 to " +
                     std::to_string(kMaxPauseMs),
                 kPauseForm);
  }
  // A misspelt kind: the nearest of the three words, else every form.
  const char* nearest = nullptr;
  std::size_t best = 3;  // more edits than this is no slip of the finger
  for (const auto& [word, form] : {std::pair{"pixel", kPixelForm}, std::pair{"title", kTitleForm},
                                   std::pair{"idle", kIdleForm}}) {
    const std::size_t edits = SlipDistance(UpperAscii(what), UpperAscii(word));
    if (edits < best) {
      best = edits;
      nearest = form;
    }
  }
  if (nearest != nullptr) return Wrong("there is no wait " + Quoted(what), nearest);
  return StepError{"there is no wait " + Quoted(what) + "; the forms are \"" + kPauseForm + "\", \"" +
          kPixelForm + "\", \"" + kTitleForm + "\" and \"" + kIdleForm + "\""};
}

}  // namespace

StepReading ReadWalkStep(std::string_view line) {
  const std::vector<std::string> w = Words(line);
  if (w.empty()) return std::monostate{};
  const std::string first = w[0];
  if (first != "wait" && first != "click") {
    // "Wait 500" never was a step line (it has no slash); a line with a slash
    // is read as the key and action it always was.
    const std::string upper = UpperAscii(first);
    if ((upper == "WAIT" || upper == "CLICK") && line.find('/') == std::string_view::npos) {
      return StepError{"steps are written in lower case: " + Quoted(upper == "WAIT"
                                                                         ? kPauseForm
                                                                         : kClickForm) +
                       ", not " + Quoted(first)};
    }
    return std::monostate{};
  }
  if (first == "wait") return ReadWait(w, line);
  WalkStep step;
  step.kind = StepKind::Click;
  if (w.size() != 2) return Wrong("a click takes one point", kClickForm);
  if (!ReadPoint(w[1], step)) {
    return Wrong("the point " + Quoted(w[1]) + " is not x,y" + kPointHelp, kClickForm);
  }
  return step;
}

std::string StepText(const WalkStep& step) {
  const std::string point = std::to_string(step.x) + "," + std::to_string(step.y);
  switch (step.kind) {
    case StepKind::Pause:
      return "wait " + std::to_string(step.ms);
    case StepKind::Pixel:
      return "wait pixel " + point + " " + Hex(step.colour, 6);
    case StepKind::Title:
      return "wait title " + step.text;
    case StepKind::Idle:
      return "wait idle";
    case StepKind::Click:
      return "click " + point;
  }
  return {};
}

bool ColourMatches(std::uint32_t wanted, std::uint32_t seen) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((wanted >> shift) & 0xFF);
    const int b = static_cast<int>((seen >> shift) & 0xFF);
    if ((a > b ? a - b : b - a) > static_cast<int>(kPixelTolerance)) return false;
  }
  return true;
}

std::string TitleWanted(const WalkStep& step, const std::string& game) {
  std::string text = step.text;
  const std::string mark = "{game}";
  for (std::size_t at = text.find(mark); at != std::string::npos;
       at = text.find(mark, at + game.size())) {
    text.replace(at, mark.size(), game);
  }
  return text;
}

}  // namespace ruskel
