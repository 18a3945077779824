#include "driver/focus_keeper.h"

namespace ruskel {

FocusKeeper::Verdict FocusKeeper::Check(bool emulatorInFront, std::uint64_t now) {
  if (emulatorInFront) {
    if (!lostAt_) return Verdict::Type;
    if (!backSince_) backSince_ = now;
    if (now - *backSince_ < kRefocusSettleMs) return Verdict::Wait;
    lostAt_.reset();
    backSince_.reset();
    return Verdict::Type;
  }
  backSince_.reset();
  if (!lostAt_) lostAt_ = now;
  if (waitMs_ > 0 && now - *lostAt_ >= waitMs_) return Verdict::GiveUp;
  return Verdict::Wait;
}

}  // namespace ruskel
