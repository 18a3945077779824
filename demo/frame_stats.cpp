#include "demo/frame_stats.h"

#include <string>

#include "demo/epoch_ms.h"
#include "demo/event_log.h"

namespace ruskel::demo {

void FrameStats::FrameStarts() {
  std::int64_t now = EpochMs();
  ++count_;
  if (last_ >= 0) {
    std::int64_t gap = now - last_;
    if (gap > longest_) {
      longest_ = gap;
      longestAt_ = now;
    }
    if (gap > slowMs_) Log("FRAME", "gap=" + std::to_string(gap));
  }
  last_ = now;
}

void FrameStats::LogSummary() const {
  Log("FRAMES", "count=" + std::to_string(count_) + " longest=" + std::to_string(longest_) +
                    " at=" + std::to_string(longestAt_));
}

}  // namespace ruskel::demo
