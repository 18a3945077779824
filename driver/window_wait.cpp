#include "driver/window_wait.h"

#include "core/elevation.h"
#include "core/run_log.h"
#include "core/window_match.h"

namespace ruskel {

void WindowWait::Start(std::uint64_t now) {
  startedAt_ = now;
  focusingSince_ = 0;
  looked_ = false;
  listedAt_ = 0;
  listed_.reset();
}

std::uint32_t WindowWait::LookPaceMs(std::uint64_t now) const {
  if (!looked_) return kFocusCheckMs;
  return now - startedAt_ < kLongWaitAfterMs ? kWindowLookupMs : kLongWaitLookupMs;
}

WindowWait::Look WindowWait::LookForWindow(Mainmod& m, std::uint64_t now) {
  RunState& s = m.State;
  looked_ = true;
  if (!LooksForWindow(s)) {
    m.Os.windows.BringToFront(s.EmulatorWindow);
    Log<Say::NullTitle>(m);
    return Look::NoTitle;
  }
  // Another program's window with the title (one left over from an earlier
  // run) would get every key; it is taken only when none of ours comes.
  // match=own never takes one.
  const bool othersToo = now - startedAt_ >= kForeignWindowAfterMs;
  const auto window = ChooseEmulatorWindow(m, othersToo);
  if (!window) {
    ListEmulatorWindows(m, now);
    return Look::NotYet;
  }
  m.Os.windows.WatchWindows(false);
  s.EmulatorWindow = window->handle;
  s.EmulatorProcess = window->processId;
  if (s.EmulatorProcess != s.StartedProcess && s.EmulatorProcess != 0) {
    m.Os.processes.WatchProcess(s.EmulatorProcess);
  }
  Log<Say::WindowFound>(
      m, s.EmulatorProcess,
      InEmulatorTree(m, s.EmulatorProcess) ? std::string_view() : TextOf(Say::NotStartedByRuskel),
      window->visible ? std::string_view() : TextOf(Say::NotVisibleYet));
  CheckEmulatorIntegrity(m);
  focusingSince_ = now;
  return Look::Found;
}

void WindowWait::ListEmulatorWindows(Mainmod& m, std::uint64_t now) {
  // Only the log reads it: without one the wait costs no more than before.
  if (m.State.LogPath.empty() || now - startedAt_ < kWindowListAfterMs) return;
  if (listed_ && now - listedAt_ < kWindowListEveryMs) return;
  listedAt_ = now;
  std::vector<ShownWindow> windows = EmulatorWindows(m);
  if (listed_ && SameWindows(*listed_, windows)) return;
  LogEmulatorWindows(m, windows);
  listed_ = std::move(windows);
}

WindowWait::Focus WindowWait::CheckFocus(Mainmod& m, std::uint64_t now) {
  RunState& s = m.State;
  WindowOps& windows = m.Os.windows;
  // A fresh choice each time also follows an emulator that replaces a
  // splash window with its main one.
  const auto window = ChooseEmulatorWindow(m, true);
  if (!window) {
    windows.WatchWindows(true);
    return Focus::Lost;
  }
  s.EmulatorWindow = window->handle;
  const std::uint64_t waited = now - focusingSince_;
  const bool settled = waited >= kFocusSettleMs;
  // A window that stays hidden is typed into all the same once settled.
  if (!windows.IsVisible(s.EmulatorWindow) && !settled) return Focus::Settling;
  windows.BringToFront(s.EmulatorWindow);
  const bool inFront = windows.ForegroundWindow() == s.EmulatorWindow;
  if (!inFront && !settled) return Focus::Settling;
  if (inFront) {
    Log<Say::WindowInFront>(m, waited);
  } else if (windows.IsVisible(s.EmulatorWindow)) {
    Log<Say::WindowNotInFrontVisible>(m, waited);
  } else {
    Log<Say::WindowNotInFrontHidden>(m, waited);
  }
  return Focus::Ready;
}

void WindowWait::BringBack(Mainmod& m) {
  m.Os.windows.BringToFront(m.State.EmulatorWindow);
}

}  // namespace ruskel
