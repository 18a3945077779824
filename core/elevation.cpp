#include "core/elevation.h"

#include "core/run_log.h"
#include "core/text.h"

namespace ruskel {

std::string ElevationMessage(const std::string& commandLine, bool refused) {
  return Compose<Say::ElevationMessage>(
      TextAt(refused ? Say::ElevationRefused : Say::ElevationRunning), commandLine);
}

void CheckEmulatorIntegrity(Mainmod& m) {
  RunState& s = m.State;
  if (s.ElevationShown || s.EmulatorProcess == 0) return;
  const std::uint32_t own = m.Os.processes.IntegrityLevel(m.Os.processes.OwnProcess());
  const std::uint32_t emulator = m.Os.processes.IntegrityLevel(s.EmulatorProcess);
  if (own == 0 || own == kIntegrityDenied || emulator == 0 || emulator <= own) return;
  s.ElevationShown = true;
  if (emulator == kIntegrityDenied) {
    Log<Say::EmulatorAboveUnread>(m, "0x" + Hex(own));
  } else {
    Log<Say::IntegrityAbove>(m, "0x" + Hex(emulator), "0x" + Hex(own));
  }
  m.Os.dialogs.ShowMessage(ElevationMessage(s.EmulatorCommand, false), MessageKind::Error);
}

}  // namespace ruskel
