// The menu walk from the top of the emulator's menu to the rom's line: with
// page and wrap-around keys, the one with the fewest presses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/key_sequence.h"
#include "core/options.h"

namespace ruskel {

// Select: the select sequence, one line down. PageDown and PageUp: pagekey
// and pageupkey, pagesize lines. Wrap: wrapkey, one line up (from the top to
// the bottom of the list).
enum class WalkKey : std::uint8_t { Select, PageDown, PageUp, Wrap };

struct WalkPart {
  WalkKey key = WalkKey::Select;
  int times = 0;
  bool operator==(const WalkPart&) const = default;
};

// The parts in the order they are typed; the enter sequence follows them.
struct WalkPlan {
  std::vector<WalkPart> parts;
  int Presses() const;
  int Times(WalkKey key) const;
};

// The walk to line gameIndex of a menu of listLength lines. Without the walk
// options it is the select sequence gameIndex times. A page never runs past
// either end of the list, since what a menu does there is its own business;
// on equal presses the walk closest to today's wins.
WalkPlan PlanWalk(int gameIndex, int listLength, const RunOptions& options);

// What one step of each kind types.
struct WalkKeys {
  std::vector<KeyStroke> select;
  std::vector<KeyStroke> enter;
  std::uint8_t pageDown = 0;
  std::uint8_t pageUp = 0;
  std::uint8_t wrap = 0;
};

// The walk's strokes, then the enter sequence's.
std::vector<KeyStroke> WalkStrokes(const WalkPlan& plan, const WalkKeys& keys);

// "15 x Page Down, 0 x Down, Return: 32 steps, 1.9 s with keydelay=60", a
// step being one key event.
std::string DescribeWalk(const WalkPlan& plan, const WalkKeys& keys, std::uint32_t keydelay);

// Walk options that do not fit together: the options at fault (the error
// names the line of the last of them) and what is wrong.
struct WalkOptionConflict {
  std::vector<const char*> options;
  std::string problem;
};
std::optional<WalkOptionConflict> CheckWalkOptions(const RunOptions& options);

}  // namespace ruskel
