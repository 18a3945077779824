// The gaps between the frames of the demo's key reader. A reader that polls once per frame never
// sees a key that is down and up inside one gap, so the log keeps every gap longer than two
// frames and the longest one: a test can then tell a key the machine hid (a frame stretched past
// the key's hold) from a key the sender did not hold long enough.
#pragma once

#include <cstdint>

namespace ruskel::demo {

class FrameStats {
 public:
  explicit FrameStats(std::int64_t frameMs) : slowMs_(2 * frameMs) {}

  // Called as a frame starts; logs `FRAME gap=<ms>` when the gap since the last one was slow.
  void FrameStarts();
  // Logs `FRAMES count=<frames> longest=<ms> at=<epoch ms the longest gap ended>`.
  void LogSummary() const;

 private:
  std::int64_t slowMs_;
  std::int64_t last_ = -1;
  std::int64_t count_ = 0;
  std::int64_t longest_ = 0;
  std::int64_t longestAt_ = 0;
};

}  // namespace ruskel::demo
