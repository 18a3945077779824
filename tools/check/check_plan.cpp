#include "tools/check/check_plan.h"

#include "core/config_loader.h"
#include "core/game_selection.h"
#include "core/key_sequence.h"
#include "core/startup.h"
#include "core/walk_steps.h"
#include "driver/form1.h"

namespace ruskel::check {
namespace {

// ParseArgs reads a lone dash as "no rom, default exit key, no button": the
// plan without a rom is the plan of that argument text, minus the lookup.
constexpr const char* kNoRomArguments = "-";

constexpr std::array<const char*, 4> kSequenceTags = {"startup", "selectsequence", "entersequence",
                                                      "misc"};

// Plays keys through the wrapper's own player and hands back what it typed.
std::vector<SentKey> Play(Mainmod& m, PlanPlatform& os, const KeySequence& sequence) {
  os.TakeKeys();
  PlaySequence(m, sequence);
  return os.TakeKeys();
}

// The dry run's emulator shows at once what each wait of the walk waits for,
// so that the plan goes on to the lookup as a run whose waits are met would.
void ShowWhatTheWaitsWaitFor(PlanPlatform& os, const KeySequence& sequence,
                             const std::string& game) {
  for (const KeyStep& line : sequence) {
    if (!line.step) continue;
    if (line.step->kind == StepKind::Pixel) {
      os.shownPixels[{line.step->x, line.step->y}] = line.step->colour;
    }
    if (line.step->kind == StepKind::Title) {
      os.shownTitle.push_back(' ');
      os.shownTitle.append(TitleWanted(*line.step, game));
    }
  }
}

// The last message the wrapper showed, or `otherwise` when it showed none.
std::string LastMessage(const PlanPlatform& os, const char* otherwise) {
  return os.messages.empty() ? otherwise : os.messages.back().text;
}

SequencePlan DescribeSequence(Mainmod& m, PlanPlatform& os, const KeySequence& sequence,
                              const char* tag) {
  SequencePlan plan;
  plan.tag = tag;
  const std::size_t end = ClosingTagSlot(sequence);
  plan.full = end == sequence.size() - 1;
  try {
    for (std::size_t i = 0; i < end; ++i) {
      StepPlan step;
      step.text = sequence[i].step ? StepText(*sequence[i].step)
                                   : sequence[i].key + "/" + sequence[i].action;
      step.endsSequence = sequence[i].key.empty();
      step.walkStep = sequence[i].step;
      KeySequence single{};
      single[0] = sequence[i];
      step.sent = Play(m, os, single);
      plan.steps.push_back(std::move(step));
    }
    plan.sent = Play(m, os, sequence);
  } catch (const ProcessEnded&) {
    plan.error = LastMessage(os, "the step cannot be played");
  }
  return plan;
}

// The wrapper's messages name lconfig.ini in its folder, the only file it
// reads; a checked copy under another name (lconfig-new.ini) is named instead,
// so that a message never points at a file that was not checked.
std::string NameCheckedFile(std::string message, const CheckInput& input) {
  const std::string name = FileNameOf(input.configFile);
  const std::string wrapperPath = ConfigPath(input.programDir);
  const std::string checkedPath = input.programDir + "\\" + name;
  for (std::size_t at = 0; (at = message.find(wrapperPath, at)) != std::string::npos;
       at += checkedPath.size()) {
    message.replace(at, wrapperPath.size(), checkedPath);
  }
  const std::string ownName = kConfigFileName;
  if (message.rfind(ownName + ":", 0) == 0 || message.rfind(ownName + " line ", 0) == 0) {
    message.replace(0, ownName.size(), name);
  }
  return message;
}

}  // namespace

std::string FileNameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ProgramDirOf(const std::string& configFile) {
  const std::size_t cut = configFile.find_last_of("/\\");
  if (cut == std::string::npos) return ".";
  std::string dir = configFile.substr(0, cut);
  if (dir.empty()) return configFile.substr(0, 1);  // the root itself
  return dir;
}

std::size_t ClosingTagSlot(const KeySequence& sequence) {
  std::size_t last = 0;
  for (std::size_t i = 0; i < sequence.size(); ++i) {
    if (!sequence[i].key.empty() || !sequence[i].action.empty()) last = i;
  }
  return last;
}

std::size_t GameListEnd(const RunState& state) {
  return static_cast<std::size_t>(GameListLength(state));
}

CheckPlan BuildPlan(const CheckInput& input) {
  CheckPlan plan;
  plan.configFile = input.configFile;
  plan.romGiven = !input.argumentText.empty();
  PlanPlatform os(plan.romGiven ? input.argumentText : kNoRomArguments, input.programDir,
                  input.configFile, input.reader);
  const Platform platform{os};
  Form1 form(platform, *plan.state);
  Mainmod& m = form.Run();

  try {
    Main(m);
  } catch (const ProcessEnded&) {
    plan.configBytes = os.ConfigBytes();
    plan.exitCode = kCheckFileBroken;
    plan.error = os.messages.empty() ? "ruskel.exe would stop here"
                                     : NameCheckedFile(os.messages.back().text, input);
    return plan;
  }
  plan.configBytes = os.ConfigBytes();
  if (!os.started.empty()) plan.start = os.started.back();
  plan.miscInterval = form.Interval(TimerId::misc);

  RunState& s = *plan.state;
  os.windowTitle = s.WindowTitle;
  os.windowClass = s.Options.windowclass;
  const std::array<const KeySequence*, 4> sequences = {&s.StartupSeq, &s.SelectSeq, &s.EnterSeq,
                                                       &s.MiscSeq};
  for (std::size_t i = 0; i < sequences.size(); ++i) {
    plan.sequences[i] = DescribeSequence(m, os, *sequences[i], kSequenceTags[i]);
    ShowWhatTheWaitsWaitFor(os, *sequences[i], LookupName(s.RomName));
  }
  if (s.RomName.empty()) return plan;

  // The first Timkey tick: window found at once, then the whole keyboard
  // dialogue and the lookup, exactly as ruskel.exe runs them.
  LookupPlan lookup;
  os.TakeKeys();
  try {
    // With keydelay or startdelay the walk takes many ticks.
    constexpr int kMostTicks = 100000;
    for (int i = 0; i < kMostTicks && os.Tick(static_cast<int>(TimerId::Timkey)); ++i) {
    }
    lookup.keys = os.TakeKeys();
    if (s.GameIndex >= 0) {
      const WalkPlan walk = PlanWalkTo(s);
      lookup.selects = walk.Times(WalkKey::Select);
      lookup.walk = DescribeWalk(walk, WalkKeysOf(m), s.Options.keydelay);
    }
    if (os.TimerRunning(static_cast<int>(TimerId::misc))) {
      for (int i = 0; i < kMostTicks && os.Tick(static_cast<int>(TimerId::misc)); ++i) {
      }
      lookup.miscKeys = os.TakeKeys();
    }
  } catch (const ProcessEnded& stopped) {
    if (lookup.keys.empty()) lookup.keys = os.TakeKeys();
    if (stopped.exitCode != kExitRomNotListed) {
      plan.exitCode = kCheckFileBroken;
      plan.error = LastMessage(os, "ruskel.exe would stop here");
    }
  }
  lookup.romName = s.RomName;
  lookup.slot = s.GameIndex;
  lookup.closeMessages = os.posted;
  plan.lookup = std::move(lookup);
  return plan;
}

}  // namespace ruskel::check
