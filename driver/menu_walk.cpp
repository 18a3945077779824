#include "driver/menu_walk.h"

#include <algorithm>

#include "core/game_selection.h"
#include "core/run_log.h"
#include "core/text.h"

namespace ruskel {

void MenuWalk::Begin(Mainmod& m) {
  RunState& s = m.State;
  // The emulator takes its activation as a message: keys typed before it has
  // handled it are lost to readers that take the keyboard on activation
  // (DirectInput) or that only count keys while in front (raw input).
  if (s.EmulatorWindow != 0 &&
      !m.Os.windows.WaitUntilWindowResponds(s.EmulatorWindow, kWindowAnswerMs)) {
    Log<Say::WindowDidNotAnswer>(m, kWindowAnswerMs);
  }
  stage_ = Stage::Startup;
  played_ = false;
  const auto startup = StrokesOf(m, s.StartupSeq);
  strokes_.assign(startup.begin(), startup.end());
  Log<Say::StartupSequence>(m, strokes_.size());
}

void MenuWalk::BeginMisc(Mainmod& m) {
  stage_ = Stage::Misc;
  const auto misc = StrokesOf(m, m.State.MiscSeq);
  strokes_.assign(misc.begin(), misc.end());
  Log<Say::MiscSequence>(m, strokes_.size());
}

std::uint32_t MenuWalk::PaceMs(const Mainmod& m) const {
  const std::uint32_t delay = m.State.Options.keydelay;
  // The first key waits a pause too: an emulator that has just come to the
  // front may not read input yet, and readers that poll need to see the key
  // go down from up.
  if (delay > 0 && stage_ == Stage::Startup && !played_) return std::max(delay, kFirstKeySettleMs);
  return delay;
}

MenuWalk::Step MenuWalk::Play(Mainmod& m, const std::function<bool()>& mayType) {
  played_ = true;
  const std::uint32_t delay = m.State.Options.keydelay;
  for (;;) {
    if (strokes_.empty()) {
      Step step = Step::Done;
      if (!FinishStage(m, step)) return step;
      continue;
    }
    // The key stays first in line until it may go.
    if (!mayType()) return Step::Held;
    SendStroke(m, strokes_.front());
    strokes_.pop_front();
    // With a delay the key is held (or released) until the next pace.
    if (delay > 0) return Step::Paced;
  }
}

// True when the walk goes on with the next stage's strokes; otherwise step
// says how the walk stopped.
bool MenuWalk::FinishStage(Mainmod& m, Step& step) {
  RunState& s = m.State;
  switch (stage_) {
    case Stage::Startup: {
      FindGame(m);
      if (s.GameIndex == -1) {
        Log<Say::RomNotListed>(m, Quoted(s.RomName));
        step = Step::RomNotListed;
        return false;
      }
      const auto strokes = SelectAndEnterStrokes(m);
      strokes_.assign(strokes.begin(), strokes.end());
      stage_ = Stage::SelectAndEnter;
      const WalkPlan plan = PlanWalkTo(s);
      Log<Say::RomFound>(m, s.GameIndex, plan.Times(WalkKey::Select), strokes_.size(),
                         DescribeWalk(plan, WalkKeysOf(m), s.Options.keydelay));
      return true;
    }
    case Stage::SelectAndEnter:
      Log<Say::EnterSequenceSent>(m);
      step = Step::Done;
      return false;
    case Stage::Misc:
      Log<Say::MiscSequenceSent>(m);
      step = Step::Done;
      return false;
  }
  return false;
}

}  // namespace ruskel
