#include "core/walk_plan.h"

#include <algorithm>

#include "core/key_names.h"
#include "core/log_texts.h"

namespace ruskel {
namespace {

int PagesUpTo(int lines, int pageSize) {
  return (lines + pageSize - 1) / pageSize;
}

// "Down", "Ctrl+C": the keys a sequence presses, in order.
std::string PressedKeys(const std::vector<KeyStroke>& strokes, const char* none) {
  std::string out;
  for (const KeyStroke& stroke : strokes) {
    if (!stroke.down || stroke.step) continue;  // a wait or click presses no key
    if (!out.empty()) out += "+";
    out += KeyName(stroke.virtualKey);
  }
  return out.empty() ? none : out;
}

std::string NameOf(WalkKey key, const WalkKeys& keys) {
  switch (key) {
    case WalkKey::PageDown:
      return KeyName(keys.pageDown);
    case WalkKey::PageUp:
      return KeyName(keys.pageUp);
    case WalkKey::Wrap:
      return KeyName(keys.wrap);
    case WalkKey::Select:
      break;
  }
  return PressedKeys(keys.select, "select sequence");
}

}  // namespace

int WalkPlan::Presses() const {
  int presses = 0;
  for (const WalkPart& part : parts) presses += part.times;
  return presses;
}

int WalkPlan::Times(WalkKey key) const {
  int times = 0;
  for (const WalkPart& part : parts) times += part.key == key ? part.times : 0;
  return times;
}

WalkPlan PlanWalk(int gameIndex, int listLength, const RunOptions& options) {
  const int g = gameIndex;
  const int last = listLength - 1;
  const int n = options.pagekey != 0 ? static_cast<int>(options.pagesize) : 0;
  std::vector<WalkPlan> walks;
  // Down from the top: pages, then single lines.
  if (n > 0) {
    walks.push_back({{{WalkKey::PageDown, g / n}, {WalkKey::Select, g % n}}});
  } else {
    walks.push_back({{{WalkKey::Select, g}}});
  }
  if (options.wrapkey != 0 && g > 0 && g <= last) {
    // One page past the line, then back up.
    if (n > 0 && PagesUpTo(g, n) * n <= last) {
      const int pages = PagesUpTo(g, n);
      walks.push_back({{{WalkKey::PageDown, pages}, {WalkKey::Wrap, pages * n - g}}});
    }
    // Up from the top wraps to the bottom; from there up to the line.
    const int fromBottom = last - g;
    if (n > 0 && options.pageupkey != 0) {
      walks.push_back({{{WalkKey::Wrap, 1 + fromBottom % n}, {WalkKey::PageUp, fromBottom / n}}});
      const int pages = PagesUpTo(fromBottom, n);
      if (pages * n <= last) {
        walks.push_back({{{WalkKey::Wrap, 1},
                          {WalkKey::PageUp, pages},
                          {WalkKey::Select, pages * n - fromBottom}}});
      }
    } else {
      walks.push_back({{{WalkKey::Wrap, 1 + fromBottom}}});
    }
  }
  const WalkPlan* best = &walks.front();
  for (const WalkPlan& walk : walks) {
    if (walk.Presses() < best->Presses()) best = &walk;
  }
  return *best;
}

std::vector<KeyStroke> WalkStrokes(const WalkPlan& plan, const WalkKeys& keys) {
  std::vector<KeyStroke> strokes;
  for (const WalkPart& part : plan.parts) {
    std::vector<KeyStroke> step = keys.select;
    if (part.key != WalkKey::Select) {
      const std::uint8_t key = part.key == WalkKey::PageDown ? keys.pageDown
                               : part.key == WalkKey::PageUp ? keys.pageUp
                                                             : keys.wrap;
      step = {{key, true}, {key, false}};
    }
    for (int i = 0; i < part.times; ++i) strokes.insert(strokes.end(), step.begin(), step.end());
  }
  strokes.insert(strokes.end(), keys.enter.begin(), keys.enter.end());
  return strokes;
}

std::string DescribeWalk(const WalkPlan& plan, const WalkKeys& keys, std::uint32_t keydelay) {
  std::string out;
  for (const WalkPart& part : plan.parts) {
    out += std::to_string(part.times) + " x " + NameOf(part.key, keys) + ", ";
  }
  out += PressedKeys(keys.enter, "no enter key");
  // A step being one key event: waits and clicks are counted where their time is.
  const auto strokes = WalkStrokes(plan, keys);
  const std::size_t steps = static_cast<std::size_t>(std::count_if(
      strokes.begin(), strokes.end(), [](const KeyStroke& stroke) { return !stroke.step; }));
  out += ": " + std::to_string(steps) + (steps == 1 ? " step, " : " steps, ");
  if (keydelay == 0) return out + "back to back (keydelay=0)";
  // Tenths of a second, rounded half up.
  const std::uint64_t tenths = (static_cast<std::uint64_t>(steps) * keydelay + 50) / 100;
  return out + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) +
         " s with keydelay=" + std::to_string(keydelay);
}

std::optional<WalkOptionConflict> CheckWalkOptions(const RunOptions& o) {
  if (o.pagekey != 0 && o.pagesize == 0) {
    return WalkOptionConflict{{"pagekey"}, Compose<Say::PagekeyNeedsPagesize>()};
  }
  if (o.pagesize != 0 && o.pagekey == 0) {
    return WalkOptionConflict{{"pagesize"}, Compose<Say::PagesizeNeedsPagekey>()};
  }
  if (o.pageupkey != 0 && (o.pagekey == 0 || o.wrapkey == 0)) {
    return WalkOptionConflict{{"pageupkey"}, Compose<Say::PageupkeyNeedsTheRest>()};
  }
  struct Pair {
    const char* first;
    std::uint8_t a;
    const char* second;
    std::uint8_t b;
  };
  for (const Pair& p : {Pair{"pagekey", o.pagekey, "wrapkey", o.wrapkey},
                        Pair{"pagekey", o.pagekey, "pageupkey", o.pageupkey},
                        Pair{"wrapkey", o.wrapkey, "pageupkey", o.pageupkey}}) {
    if (p.a != 0 && p.a == p.b) {
      return WalkOptionConflict{{p.first, p.second},
                                Compose<Say::SameWalkKey>(p.first, p.second, p.a)};
    }
  }
  return std::nullopt;
}

}  // namespace ruskel
