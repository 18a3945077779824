#include "core/game_section.h"

#include "core/game_selection.h"
#include "core/options.h"

namespace ruskel {

const GameSection* ApplyGameSection(RunState& s, TextOps& text) {
  if (s.GameSections.empty()) return nullptr;
  const int slot = GameSlot(s, text, s.RomName);
  for (std::size_t i = 0; i < s.GameSections.size(); ++i) {
    const GameSection& section = s.GameSections[i];
    if (slot < 0 || section.slot != slot) continue;
    s.Options = section.options;
    if (section.miscDelay) s.MiscDelay = *section.miscDelay;
    if (section.miscSeq) s.MiscSeq = *section.miscSeq;
    s.GameSectionApplied = static_cast<int>(i);
    return &section;
  }
  return nullptr;
}

std::string DescribeGameSection(const GameSection& section) {
  std::string out;
  auto add = [&out](const std::string& part) { out += (out.empty() ? "" : ", ") + part; };
  for (const std::string& name : section.optionsSet) {
    add(name + "=" + FindOption(name)->show(section.options));
  }
  if (section.miscDelay) add("timer=" + std::to_string(*section.miscDelay));
  if (section.miscSeq) {
    // The closing tag takes the last filled slot.
    std::size_t steps = 0;
    for (std::size_t i = 0; i < section.miscSeq->size(); ++i) {
      const KeyStep& step = (*section.miscSeq)[i];
      if (!step.key.empty() || !step.action.empty()) steps = i;
    }
    add("{misc} of " + std::to_string(steps) + (steps == 1 ? " step" : " steps"));
  }
  return out.empty() ? std::string("nothing") : out;
}

}  // namespace ruskel
