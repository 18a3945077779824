// A dry run of the wrapper: its own start-up, reader, argument parser, lookup
// and sequence player run against PlanPlatform, and what they asked for is
// gathered into a plan.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/mainmod.h"
#include "tools/check/plan_platform.h"

namespace ruskel::check {

inline constexpr int kCheckFileFine = 0;
inline constexpr int kCheckUsage = 1;
inline constexpr int kCheckFileBroken = 2;

struct CheckInput {
  std::string configFile;    // the file to read
  std::string programDir;    // the folder the wrapper would run from
  std::string argumentText;  // as ruskel.exe would get it; empty: no rom
  FileReader reader = ReadFileFromDisk;
};

struct StepPlan {
  std::string text;           // key "/" action, as stored
  std::vector<SentKey> sent;  // what the step types on its own
  bool endsSequence = false;  // an empty key: the player stops here
  std::optional<WalkStep> walkStep;  // a wait or a click, which types nothing
};

struct SequencePlan {
  std::string tag;                   // "startup", "selectsequence", ...
  std::vector<StepPlan> steps;       // the steps before the closing tag
  std::vector<SentKey> sent;         // what one playing of the whole sequence types
  bool full = false;                 // the closing tag took the last slot
  std::optional<std::string> error;  // the wrapper's message when a step cannot be played
};

enum SequenceIndex : std::size_t { kStartup, kSelect, kEnter, kMisc };

struct LookupPlan {
  std::string romName;        // as the lookup left it (a trailing .zip cut off)
  int slot = -1;              // -1: not listed
  std::vector<SentKey> keys;  // startup, selects and enter, as the run typed them
  int selects = 0;            // times the select sequence is played
  std::string walk;  // the walk in words: "15 x Page Down, 0 x Down, Return: 32 steps, ..."
  std::vector<PostedMessage> closeMessages;      // sent when the rom is not listed
  std::optional<std::vector<SentKey>> miscKeys;  // when the misc timer fired
};

struct CheckPlan {
  int exitCode = kCheckFileFine;
  std::string error;  // the message the wrapper would show, when the file is broken
  bool romGiven = false;
  std::string configFile;
  std::string configBytes;
  std::unique_ptr<RunState> state = std::make_unique<RunState>();
  ProcessStart start;
  std::uint32_t miscInterval = 0;
  std::array<SequencePlan, 4> sequences;
  std::optional<LookupPlan> lookup;  // only with a rom name
};

CheckPlan BuildPlan(const CheckInput& input);

// The folder part of a path as given ("demo/lconfig.ini" gives "demo", a bare
// file name gives "."), without a trailing separator, as ProgramDir has none.
std::string ProgramDirOf(const std::string& configFile);

// The file's own name, without its folder ("demo\\lconfig-new.ini" gives
// "lconfig-new.ini").
std::string FileNameOf(const std::string& path);

// Index of a sequence's closing-tag slot: the last slot the reader filled.
std::size_t ClosingTagSlot(const KeySequence& sequence);

// Index of "{/gamelist}" in the game list.
std::size_t GameListEnd(const RunState& state);

}  // namespace ruskel::check
