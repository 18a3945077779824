// The lines of a key sequence that are not key events: pauses, waits for the
// emulator to show something, and clicks. Read here, written back here for
// the log and ruskel-check.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/mainmod.h"

namespace ruskel {

// A colour read from the screen may differ from the one written down by this
// much per channel: a few steps of dithering, gamma or a 16-bit desktop.
inline constexpr std::uint32_t kPixelTolerance = 8;
// The longest pause and the largest client-area coordinate a step takes.
inline constexpr std::uint32_t kMaxPauseMs = 600000;
inline constexpr std::int32_t kMaxClientCoordinate = 32767;

// The forms, as the error messages and the docs show them.
inline constexpr const char* kPauseForm = "wait <ms>";
inline constexpr const char* kPixelForm = "wait pixel <x>,<y> <RRGGBB>";
inline constexpr const char* kTitleForm = "wait title <text>";
inline constexpr const char* kIdleForm = "wait idle";
inline constexpr const char* kClickForm = "click <x>,<y>";

struct StepError {
  std::string problem;  // what is wrong, naming the form it comes nearest
};

// A sequence line read as a step: the step, what is wrong with a line that
// starts as one ("wait" or "click", in any case), or nothing for any other
// line (a key step, or a line the sequence reads as it always has).
using StepReading = std::variant<std::monostate, WalkStep, StepError>;
StepReading ReadWalkStep(std::string_view line);

// The step as written: "wait pixel 10,20 FF8800".
std::string StepText(const WalkStep& step);

// A wait for the emulator rather than a fixed pause.
inline bool IsWaitForEmulator(const WalkStep& step) {
  return step.kind == StepKind::Pixel || step.kind == StepKind::Title ||
         step.kind == StepKind::Idle;
}

// Whether a colour read from the screen counts as the step's colour.
bool ColourMatches(std::uint32_t wanted, std::uint32_t seen);

// The title a wait title step looks for: {game} replaced by the rom's name.
std::string TitleWanted(const WalkStep& step, const std::string& game);

}  // namespace ruskel
