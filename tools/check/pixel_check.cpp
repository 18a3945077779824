#include "tools/check/pixel_check.h"

#include <variant>

#include "core/text.h"
#include "core/walk_steps.h"
#include "core/window_match.h"
#include "core/window_survey.h"
#include "tools/check/check_plan.h"
#include "tools/check/no_timers.h"

namespace ruskel::check {

int CheckPixel(RunState& state, Platform os, const std::string& point,
               const std::function<void(const std::string&)>& print) {
  // The point is read as a click's, so that it takes exactly what a step takes.
  const StepReading reading = ReadWalkStep("click " + point);
  const WalkStep* read = std::get_if<WalkStep>(&reading);
  if (read == nullptr) {
    print("--pixel takes a point x,y of the emulator's client area (whole pixels from 0 to " +
          std::to_string(kMaxClientCoordinate) + ", x then y, no blanks), not " + Quoted(point));
    return kCheckUsage;
  }
  WalkStep pixel = *read;
  pixel.kind = StepKind::Pixel;

  // Only windows shown now count: the dry run started no emulator.
  ForgetDryRunEmulator(state);
  NoTimers host;
  Mainmod m{state, os, host};
  if (!LooksForWindow(state) || state.Options.match == MatchRule::Own) {
    print("{handles} asks for " + AskedForWords(state) +
          ": that names no window of a running emulator; put the emulator's title on the first "
          "line of {handles} to read its pixels");
    return kCheckFileBroken;
  }
  const auto taken = ChooseEmulatorWindow(m, true);
  if (!taken) {
    print("{handles} asks for " + AskedForWords(state) +
          ": no window shown now fits; start the emulator, bring it to the screen the wait is "
          "for, and run this again (ruskel-check --windows lists the emulator's windows)");
    return kCheckFileBroken;
  }
  WindowOps& windows = m.Os.windows;
  const std::string title = Quoted(windows.WindowTitle(taken->handle));
  windows.BringToFront(taken->handle);
  m.Os.events.Pause(kPixelDrawMs);
  const auto colour = windows.ClientPixel(taken->handle, pixel.x, pixel.y);
  if (!colour) {
    print("the pixel at " + point + " of " + title +
          " cannot be read: the window has gone or the point lies off the screen");
    return kCheckFileBroken;
  }
  pixel.colour = *colour;
  print("the pixel at " + std::to_string(pixel.x) + "," + std::to_string(pixel.y) +
        " of the client area of " + title + " is " + Hex(*colour, 6));
  // The outer size holds the frame too: a point beyond it is surely not in
  // the client area, and then the colour is another window's or the desktop's.
  const WindowSize size = windows.SizeOf(taken->handle);
  if (pixel.x >= size.width || pixel.y >= size.height) {
    print("note: the window is " + std::to_string(size.width) + " x " +
          std::to_string(size.height) + " with its frame, so that point lies outside it");
  }
  if (!windows.IsVisible(taken->handle) || windows.ForegroundWindow() != taken->handle) {
    print("note: the window is not in front, so another may cover the point");
  }
  print("for the walk, as a line of a key sequence:");
  print("  " + StepText(pixel));
  return kCheckFileFine;
}

}  // namespace ruskel::check
