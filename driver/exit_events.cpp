// The exit: the exit key from input events, the exit button from pad readings.
#include "core/fatal.h"
#include "core/run_log.h"
#include "driver/form1.h"

namespace ruskel {
namespace {

constexpr std::uint32_t kPadsPerSource = 4;

}  // namespace

void Form1::OnKey(const PlatformEvent& event) {
  if (phase_ == Phase::Closing) return;
  const std::uint64_t now = os_.events.NowMs();
  if (event.kind == EventKind::KeyUp) {
    exitWatch_.KeyUp(event.virtualKey);
    UpdateExitTimer();
    return;
  }
  if (exitWatch_.KeyDown(event.virtualKey, now)) {
    Log(*m_, "exit key " + std::to_string(event.virtualKey) + " pressed");
    RequestExit();
  }
  UpdateExitTimer();
}

// Under Wine raw input reaches no one while no window is in front: on a bare
// desktop during the window wait, or once the emulator has gone. Then the key
// state is looked at as well: the window wait does it on its own ticks,
// timWfExit once the emulator has gone.
bool Form1::NeedsKeyStateCheck() const {
  return exitWatch_.ExitKey() != 0 && emulatorGone_;
}

void Form1::CheckExitKeyState() {
  const std::int32_t key = exitWatch_.ExitKey();
  if (key == 0 || phase_ == Phase::Closing) return;
  if (exitWatch_.KeyLooked(os_.keyboard.LookAtKey(key), os_.events.NowMs())) {
    Log(*m_, "exit key " + std::to_string(key) + " pressed");
    RequestExit();
    return;
  }
  UpdateExitTimer();
}

void Form1::timWfExit_Timer() {
  if (phase_ == Phase::Closing) {
    Stop(TimerId::timWfExit);
    return;
  }
  if (exitWatch_.WatchesButton()) ReadPads();
  if (NeedsKeyStateCheck()) CheckExitKeyState();
  if (phase_ != Phase::Closing && exitWatch_.HoldElapsed(os_.events.NowMs())) {
    Log(*m_, "exit held for " + std::to_string(m_->State.Options.exithold) + " ms");
    RequestExit();
  }
  UpdateExitTimer();
}

std::vector<std::uint32_t> Form1::PadMasks() {
  RunState& s = m_->State;
  const std::uint32_t pads = s.Options.joystick == JoystickChoice::Any ? kPadsPerSource : 1;
  std::vector<std::uint32_t> masks;
  for (std::uint32_t id = 0; id < pads; ++id) {
    JoyInfo reading = id == 0 ? s.JoyState : JoyInfo{};
    if (os_.pads.ReadJoystick(id, reading)) {
      if (id == 0) s.JoyState = reading;
      masks.push_back(reading.buttons);
    }
    std::uint16_t xinput = 0;
    if (os_.pads.ReadXInput(id, xinput)) masks.push_back(WinmmButtonsOfXInput(xinput));
  }
  return masks;
}

void Form1::ReadPads() {
  RunState& s = m_->State;
  if (exitWatch_.PadsRead(PadMasks(), os_.events.NowMs())) {
    Log(*m_, "exit button mask " + std::to_string(s.ExitButton) + " held");
    RequestExit();
  }
}

// timWfExit runs only while something needs it: pad readings, or a press
// being held toward exithold. Otherwise the run waits on events alone.
void Form1::UpdateExitTimer() {
  if (phase_ == Phase::Closing) {
    Stop(TimerId::timWfExit);
    return;
  }
  const std::uint32_t hold = exitWatch_.HoldMs();
  const bool holding = hold > 0 && exitWatch_.HoldPending();
  const bool keyState = NeedsKeyStateCheck();
  if (!exitWatch_.WatchesButton() && !holding && !keyState) {
    Stop(TimerId::timWfExit);
    return;
  }
  std::uint32_t interval = exitWatch_.WatchesButton() ? kPadPollMs : kKeyLookMs;
  if (holding && hold < interval) interval = hold;
  SetInterval(TimerId::timWfExit, interval);
  if (!Slot(TimerId::timWfExit).enabled) Start(TimerId::timWfExit);
}

void Form1::OnCloseRequest() {
  if (phase_ == Phase::Closing) return;
  Log(*m_, "close request (WM_CLOSE, or Windows ending the session): closing as the exit key does");
  RequestExit();
}

void Form1::RequestExit() {
  // During the window wait the foreground window is most likely the front
  // end: only a window that carries the emulator's title is asked to quit.
  const bool waiting = phase_ == Phase::WaitingForWindow || phase_ == Phase::Focusing;
  BeginClose(waiting ? QuitTitledWindow(*m_) : CloseEmulator(*m_), kExitNormal);
}

}  // namespace ruskel
