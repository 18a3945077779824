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
  return std::string(refused ? "Cannot start the emulator: it asks to run as administrator."
                             : "The emulator runs as administrator.") +
         "\n\nCommand line: " + commandLine +
         "\n\nWindows blocks the keys ruskel types into a program that runs as administrator, "
         "so the game cannot be selected.\n\nTo fix it, either remove the \"Run this program as "
         "an administrator\" flag (the emulator's Properties, Compatibility tab), or run the "
         "front end, and with it ruskel, as administrator too.";
}

void CheckEmulatorIntegrity(Mainmod& m) {
  RunState& s = m.State;
  if (s.ElevationShown || s.EmulatorProcess == 0) return;
  const std::uint32_t own = m.Os.processes.IntegrityLevel(m.Os.processes.OwnProcess());
  const std::uint32_t emulator = m.Os.processes.IntegrityLevel(s.EmulatorProcess);
  if (own == 0 || own == kIntegrityDenied || emulator == 0 || emulator <= own) return;
  s.ElevationShown = true;
  if (emulator == kIntegrityDenied) {
    Log<Say::EmulatorAboveUnread>(m, Hex(own));
  } else {
    Log(m, "the emulator's process runs at integrity level " + Hex(emulator) + ", above ruskel's " +
               Hex(own) + ": Windows will block ruskel's keys to it");
  }
  m.Os.dialogs.ShowMessage(ElevationMessage(s.EmulatorCommand, false), MessageKind::Error);
}

}  // namespace ruskel
