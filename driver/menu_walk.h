// The menu walk: the startup sequence, the select sequence once per slot and
// the enter sequence, then later the misc sequence; typed back to back, or
// one key event per pace with keydelay.
#pragma once

#include <cstdint>
#include <vector>
#include <functional>
#include <optional>
#include <string>

#include "core/key_sequence.h"
#include "core/mainmod.h"

namespace ruskel {

// With keydelay the first key waits at least this long after the window is in
// front: a reader that polls once per frame may not poll yet.
inline constexpr std::uint32_t kFirstKeySettleMs = 150;
// How long the emulator may take to answer before the first key.
inline constexpr std::uint32_t kWindowAnswerMs = 500;
// How often a wait step looks again: a title or a pixel changes within a frame
// or two of this, and each look is a trip to the window server under Wine.
inline constexpr std::uint32_t kWaitLookMs = 50;

class MenuWalk {
 public:
  enum class Step {
    Paced,        // a key event was sent; the next one after PaceMs
    Held,         // the emulator does not hold the front: the next key waits for it
    Waiting,      // a wait step is not met yet: look again after PaceMs
    Done,         // the enter sequence, or the misc sequence, has been sent
    RomNotListed,  // the startup sequence is sent and the rom is not in the game list
    WaitTimedOut   // a wait step was not met within waitlimit: see TimeoutText
  };

  // The startup sequence, once the emulator has answered.
  void Begin(Mainmod& m);
  void BeginMisc(Mainmod& m);
  // Sends what is due now: every key event without keydelay, else the next
  // one. mayType is asked before each key event; no key goes while it says no.
  Step Play(Mainmod& m, const std::function<bool()>& mayType);
  // Not one more key.
  void Stop() {
    Load({});
    waitSince_.reset();
  }

  // The pause before the next key event: 0 without keydelay; the walk's first
  // key waits a settle as well. During a wait step, when to look again.
  std::uint32_t PaceMs(const Mainmod& m) const;

  // After WaitTimedOut: the step, its line and what was seen, for the log.
  const std::string& TimeoutText() const { return timeoutText_; }

 private:
  enum class Stage { Startup, SelectAndEnter, Misc };

  enum class Look { Met, NotYet, TimedOut };

  // Moves on once a stage's strokes have all been sent.
  bool FinishStage(Mainmod& m, Step& step);
  // Whether the wait step in front is met now; starts its clock on the first look.
  Look LookAtWait(Mainmod& m, const WalkStep& step);
  // What the wait sees now ("the title is ..."), and whether that meets it.
  bool Sees(Mainmod& m, const WalkStep& step, std::string& seen);
  // The rom's name as listed, for {game} in a title.
  std::string GameName(const Mainmod& m) const;
  void Click(Mainmod& m, const WalkStep& step);
  void Load(std::vector<KeyStroke> strokes) {
    strokes_ = std::move(strokes);
    next_ = 0;
  }
  bool AllSent() const { return next_ >= strokes_.size(); }

  Stage stage_ = Stage::Startup;
  // A list and the place in it rather than a queue: a walk is a few dozen
  // strokes, and a deque's code costs the exe more than the list.
  std::vector<KeyStroke> strokes_;
  std::size_t next_ = 0;  // the next stroke to send
  bool played_ = false;  // a tick of the walk has come
  std::optional<std::uint64_t> waitSince_;  // the wait step in front began then
  std::uint32_t lookAgainMs_ = 0;
  std::string timeoutText_;
};

}  // namespace ruskel
