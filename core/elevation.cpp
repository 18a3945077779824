#include "core/elevation.h"

#include <cstdio>

#include "core/run_log.h"

namespace ruskel {
namespace {

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

std::string ElevationMessage(const std::string& commandLine, bool refused) {
  return Compose<Say::ElevationMessage>(
      TextOf(refused ? Say::ElevationRefused : Say::ElevationRunning), commandLine);
}

void CheckEmulatorIntegrity(Mainmod& m) {
  RunState& s = m.State;
  if (s.ElevationShown || s.EmulatorProcess == 0) return;
  const std::uint32_t own = m.Os.processes.IntegrityLevel(m.Os.processes.OwnProcess());
  const std::uint32_t emulator = m.Os.processes.IntegrityLevel(s.EmulatorProcess);
  if (own == 0 || emulator == 0 || emulator <= own) return;
  s.ElevationShown = true;
  Log<Say::IntegrityAbove>(m, Hex(emulator), Hex(own));
  m.Os.dialogs.ShowMessage(ElevationMessage(s.EmulatorCommand, false), MessageKind::Error);
}

}  // namespace ruskel
