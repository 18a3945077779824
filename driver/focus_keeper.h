// The walk types only into the emulator: whether a key may go now, from
// whether the emulator's process tree holds the front.
#pragma once

#include <cstdint>
#include <optional>

namespace ruskel {

// A lost front is asked back this often.
inline constexpr std::uint32_t kRefocusRetryMs = 250;
// Once back in front the emulator gets this long to take its activation in
// before the walk goes on.
inline constexpr std::uint64_t kRefocusSettleMs = 500;

class FocusKeeper {
 public:
  enum class Verdict { Type, Wait, GiveUp };

  // waitMs: how long the front may stay lost before giving up; 0: no limit.
  void Start(std::uint32_t waitMs) {
    waitMs_ = waitMs;
    lostAt_.reset();
    backSince_.reset();
  }

  Verdict Check(bool emulatorInFront, std::uint64_t now);

  bool Lost() const { return lostAt_.has_value(); }
  std::uint64_t LostFor(std::uint64_t now) const { return lostAt_ ? now - *lostAt_ : 0; }

 private:
  std::uint32_t waitMs_ = 0;
  std::optional<std::uint64_t> lostAt_;
  std::optional<std::uint64_t> backSince_;
};

}  // namespace ruskel
