#include "driver/menu_walk.h"

#include <algorithm>

#include "core/game_selection.h"
#include "core/run_log.h"
#include "core/walk_steps.h"
#include "core/text.h"

namespace ruskel {
namespace {

// Waits and clicks are logged on their own.
std::size_t KeyEvents(const std::vector<KeyStroke>& strokes) {
  return static_cast<std::size_t>(std::count_if(
      strokes.begin(), strokes.end(), [](const KeyStroke& stroke) { return !stroke.step; }));
}

}  // namespace

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
  Load(StrokesOf(m, s.StartupSeq));
  Log<Say::StartupSequence>(m, KeyEvents(strokes_));
}

void MenuWalk::BeginMisc(Mainmod& m) {
  stage_ = Stage::Misc;
  Load(StrokesOf(m, m.State.MiscSeq));
  Log<Say::MiscSequence>(m, KeyEvents(strokes_));
}

std::uint32_t MenuWalk::PaceMs(const Mainmod& m) const {
  if (waitSince_) return lookAgainMs_;
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
    if (AllSent()) {
      Step step = Step::Done;
      if (!FinishStage(m, step)) return step;
      continue;
    }
    // A copy: what the stroke sets off may end the walk and empty the list.
    const KeyStroke stroke = strokes_[next_];
    if (const auto& walkStep = stroke.step; walkStep && walkStep->kind != StepKind::Click) {
      switch (LookAtWait(m, *walkStep)) {
        case Look::NotYet:
          return Step::Waiting;
        case Look::TimedOut:
          Load({});
          return Step::WaitTimedOut;
        case Look::Met:
          ++next_;
          continue;
      }
    }
    // The key stays first in line until it may go.
    if (!mayType()) return Step::Held;
    if (stroke.step) {
      Click(m, *stroke.step);
    } else {
      ReleaseStrayModifiers(m, stroke);
      SendStroke(m, stroke);
    }
    ++next_;
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
      Load(SelectAndEnterStrokes(m));
      stage_ = Stage::SelectAndEnter;
      const WalkPlan plan = PlanWalkTo(s);
      Log<Say::RomFound>(m, s.GameIndex, plan.Times(WalkKey::Select), KeyEvents(strokes_),
                         DescribeWalk(plan, WalkKeysOf(m), s.Options.keydelay));
      return true;
    }
    case Stage::SelectAndEnter:
      Log<Say::EnterSequenceSent>(m);
      Log<Say::LaunchTime>(m, m.Os.events.NowMs() - s.EmulatorStartedAtMs);
      step = Step::Done;
      return false;
    case Stage::Misc:
      Log<Say::MiscSequenceSent>(m);
      step = Step::Done;
      return false;
  }
  return false;
}

MenuWalk::Look MenuWalk::LookAtWait(Mainmod& m, const WalkStep& step) {
  const std::uint64_t now = m.Os.events.NowMs();
  if (!waitSince_) waitSince_ = now;
  const std::uint64_t waited = now - *waitSince_;
  const std::uint32_t limit = m.State.Options.waitlimit;
  std::string seen;
  const bool met = step.kind == StepKind::Pause ? waited >= step.ms : Sees(m, step, seen);
  if (met) {
    waitSince_.reset();
    Log<Say::WaitMet>(m, StepText(step), step.line, waited);
    return Look::Met;
  }
  if (step.kind == StepKind::Pause) {
    lookAgainMs_ = static_cast<std::uint32_t>(step.ms - waited);
    return Look::NotYet;
  }
  if (waited >= limit) {
    waitSince_.reset();
    timeoutText_ = Compose<Say::WaitTimedOut>(StepText(step), step.line, limit, seen);
    return Look::TimedOut;
  }
  lookAgainMs_ = std::min<std::uint32_t>(kWaitLookMs, static_cast<std::uint32_t>(limit - waited));
  return Look::NotYet;
}

bool MenuWalk::Sees(Mainmod& m, const WalkStep& step, std::string& seen) {
  const RunState& s = m.State;
  switch (step.kind) {
    case StepKind::Title: {
      const std::string title =
          s.EmulatorWindow != 0 ? m.Os.windows.WindowTitle(s.EmulatorWindow) : std::string();
      seen = Compose<Say::SeenTitle>(Quoted(title));
      // Case is ignored as the window rules ignore it.
      const std::string wanted = m.Os.text.UpperAnsi(TitleWanted(step, GameName(m)));
      return m.Os.text.UpperAnsi(title).find(wanted) != std::string::npos;
    }
    case StepKind::Pixel: {
      const auto colour = s.EmulatorWindow != 0
                              ? m.Os.windows.ClientPixel(s.EmulatorWindow, step.x, step.y)
                              : std::nullopt;
      seen = colour ? Compose<Say::SeenPixel>(Hex(*colour, 6)) : std::string(TextOf(Say::SeenNoPixel));
      return colour && ColourMatches(step.colour, *colour);
    }
    case StepKind::Idle: {
      const ProcessId process = s.EmulatorProcess != 0 ? s.EmulatorProcess : s.StartedProcess;
      switch (m.Os.processes.ProcessInputIdle(process)) {
        case InputIdle::Idle:
          return true;
        case InputIdle::Busy:
          seen = TextOf(Say::SeenBusy);
          return false;
        case InputIdle::Unknown:
          // A console program or one without a message queue never waits for
          // input the way Windows can see; waiting would only run out the limit.
          Log<Say::WaitIdleUnknown>(m, step.line);
          return true;
      }
      return false;
    }
    case StepKind::Pause:
    case StepKind::Click:
      break;
  }
  return true;
}

std::string MenuWalk::GameName(const Mainmod& m) const {
  const RunState& s = m.State;
  // Before the rom is looked up (the startup sequence) its name is all there is.
  if (stage_ != Stage::Startup && s.GameIndex >= 0) {
    return s.GameList[static_cast<std::size_t>(s.GameIndex)];
  }
  return LookupName(s.RomName);
}

void MenuWalk::Click(Mainmod& m, const WalkStep& step) {
  const RunState& s = m.State;
  const auto at = s.EmulatorWindow != 0
                      ? m.Os.cursor.ClientPointOnScreen(s.EmulatorWindow, step.x, step.y)
                      : std::nullopt;
  if (!at) {
    Log<Say::ClickNoWindow>(m, StepText(step), step.line);
    return;
  }
  // The pointer goes back where it was: under cursor=park that is the park point.
  const auto before = m.Os.cursor.PointerPosition();
  const bool clicked = m.Os.cursor.ClickLeft(*at);
  if (before) m.Os.cursor.MovePointer(*before);
  Log<Say::ClickSent>(m, StepText(step), step.line, at->x, at->y, clicked ? "" : " (refused by Windows)");
}

}  // namespace ruskel
