// The menu walk: the startup sequence, the select sequence once per slot and
// the enter sequence, then later the misc sequence; typed back to back, or
// one key event per pace with keydelay.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "core/key_sequence.h"
#include "core/mainmod.h"

namespace ruskel {

// With keydelay the first key waits at least this long after the window is in
// front: a reader that polls once per frame may not poll yet.
inline constexpr std::uint32_t kFirstKeySettleMs = 150;
// How long the emulator may take to answer before the first key.
inline constexpr std::uint32_t kWindowAnswerMs = 500;

class MenuWalk {
 public:
  enum class Step {
    Paced,        // a key event was sent; the next one after PaceMs
    Held,         // the emulator does not hold the front: the next key waits for it
    Done,         // the enter sequence, or the misc sequence, has been sent
    RomNotListed  // the startup sequence is sent and the rom is not in the game list
  };

  // The startup sequence, once the emulator has answered.
  void Begin(Mainmod& m);
  void BeginMisc(Mainmod& m);
  // Sends what is due now: every key event without keydelay, else the next
  // one. mayType is asked before each key event; no key goes while it says no.
  Step Play(Mainmod& m, const std::function<bool()>& mayType);
  // Not one more key.
  void Stop() { strokes_.clear(); }

  // The pause before the next key event: 0 without keydelay; the walk's first
  // key waits a settle as well.
  std::uint32_t PaceMs(const Mainmod& m) const;

 private:
  enum class Stage { Startup, SelectAndEnter, Misc };

  // Moves on once a stage's strokes have all been sent.
  bool FinishStage(Mainmod& m, Step& step);

  Stage stage_ = Stage::Startup;
  std::deque<KeyStroke> strokes_;
  bool played_ = false;  // a tick of the walk has come
};

}  // namespace ruskel
