#include "tools/check/emulator_report.h"

#include "core/emulator_path.h"
#include "core/text.h"

namespace ruskel::check {
namespace {

ReportLine Emulator(Status status, std::string text, std::string fix = {}) {
  return {status, "emulator", std::move(text), std::move(fix)};
}

enum class Elevation { None, AsInvoker, HighestAvailable, RequireAdministrator };

// The level a manifest's requestedExecutionLevel asks for.
Elevation ManifestElevation(std::string text) {
  std::erase(text, '\0');  // a UTF-16 manifest read as bytes
  const std::string upper = UpperAscii(text);
  const std::size_t element = upper.find("REQUESTEDEXECUTIONLEVEL");
  if (element == std::string::npos) return Elevation::None;
  const std::size_t end = upper.find('>', element);
  const std::string attributes =
      upper.substr(element, end == std::string::npos ? end : end - element);
  if (attributes.find("REQUIREADMINISTRATOR") != std::string::npos) {
    return Elevation::RequireAdministrator;
  }
  if (attributes.find("HIGHESTAVAILABLE") != std::string::npos) return Elevation::HighestAvailable;
  if (attributes.find("ASINVOKER") != std::string::npos) return Elevation::AsInvoker;
  return Elevation::None;
}

bool HasRunAsAdmin(const std::string& layers) {
  for (const std::string& word : SplitAll(UpperAscii(layers), ' ')) {
    if (word == "RUNASADMIN") return true;
  }
  return false;
}

void AddProgram(std::vector<ReportLine>& out, SystemProbe& probe, const std::string& path,
                std::optional<std::uint32_t> integrity) {
  const ProgramAnswer program = probe.Program(path);
  const bool elevatedHere = integrity && *integrity >= kHighIntegrity;
  // A program at a higher level than ruskel gets none of its keys or messages.
  const char* blocked =
      "; ruskel (not run as administrator) cannot start it without a prompt, and Windows keeps "
      "ruskel's keys and quit message from reaching it";
  const char* elevatedNote =
      "; this check runs as administrator, so it works only while the front end does too";

  std::vector<std::string> reasons;
  std::string fix;
  if (HasRunAsAdmin(program.layersUser)) {
    reasons.push_back("its Compatibility tab says \"Run this program as an administrator\"");
    fix =
        "right-click the program, Properties, Compatibility: untick \"Run this program as an "
        "administrator\"";
  }
  if (HasRunAsAdmin(program.layersMachine)) {
    reasons.push_back("its Compatibility tab says \"Run as administrator\" for all users");
    fix =
        "right-click the program, Properties, Compatibility, \"Change settings for all users\": "
        "untick \"Run this program as an administrator\"";
  }
  const Elevation manifest =
      program.manifest ? ManifestElevation(*program.manifest) : Elevation::None;
  if (manifest == Elevation::RequireAdministrator) {
    reasons.push_back("its manifest requires administrator rights (requireAdministrator)");
    if (fix.empty()) {
      fix =
          "use a build of the emulator that does not ask for administrator rights, or run the "
          "front end as administrator too";
    }
  }
  if (!reasons.empty()) {
    std::string text = "the emulator starts as administrator: ";
    for (std::size_t i = 0; i < reasons.size(); ++i) text += (i > 0 ? "; " : "") + reasons[i];
    out.push_back(elevatedHere ? Emulator(Status::Warning, text + elevatedNote, fix)
                               : Emulator(Status::Problem, text + blocked, fix));
    return;
  }
  if (manifest == Elevation::HighestAvailable) {
    out.push_back(
        Emulator(Status::Warning,
                 "the emulator's manifest asks for the highest rights the user has "
                 "(highestAvailable): for an administrator it starts elevated" +
                     std::string(blocked),
                 "use a build of the emulator without that manifest, or sign in as a user "
                 "who is not an administrator"));
    return;
  }
  std::string text = "no \"Run as administrator\" flag";
  const std::string flags =
      program.layersUser + (program.layersUser.empty() ? "" : " ") + program.layersMachine;
  if (!flags.empty()) text += " (compatibility flags: " + Trim(flags) + ")";
  if (!program.readable) {
    text += "; the program could not be opened to read its manifest";
  } else {
    text += manifest == Elevation::AsInvoker ? "; manifest: asInvoker (runs as started)"
                                             : "; no elevation in its manifest";
  }
  out.push_back(Emulator(Status::Ok, text));
}

ProgramLookup LookUpProgram(SystemProbe& probe, const CheckInput& input, const CheckPlan& plan) {
  return FindEmulatorProgram(input.programDir, plan.state->EmulatorCommand,
                             [&probe](const std::string& path) { return probe.FileExists(path); });
}

}  // namespace

void AddEmulator(std::vector<ReportLine>& out, SystemProbe& probe, const CheckInput& input,
                 const CheckPlan& plan, bool fileRead, std::optional<std::uint32_t> integrity) {
  if (!fileRead) {
    out.push_back(Emulator(
        Status::Warning, "no lconfig.ini at " + input.configFile + ": the emulator was not checked",
        "put ruskel-check beside ruskel.exe and its lconfig.ini, or give the "
        "file's path: ruskel-check --system path\\to\\lconfig.ini"));
    return;
  }
  if (plan.exitCode != kCheckFileFine) {
    const std::string error = plan.error.substr(0, plan.error.find('\n'));
    out.push_back(Emulator(Status::Problem,
                           "ruskel.exe would refuse " + FileNameOf(input.configFile) + ": " + error,
                           "run ruskel-check " + input.configFile + " to see what is wrong"));
    return;
  }
  const ProgramLookup lookup = LookUpProgram(probe, input, plan);
  if (!lookup.found) {
    std::string tried;
    for (const std::string& path : lookup.tried) tried += (tried.empty() ? "" : ", ") + path;
    out.push_back(
        Emulator(Status::Problem,
                 "the exe= line names no program in " + input.programDir + " (tried " + tried + ")",
                 "put the emulator in ruskel's folder, or correct the exe= line of "
                 "lconfig.ini"));
    return;
  }
  out.push_back(Emulator(Status::Ok, "program found: " + lookup.found->path));
  AddProgram(out, probe, lookup.found->path, integrity);
}

std::vector<std::string> EmulatorWarnings(SystemProbe& probe, const CheckInput& input,
                                          const CheckPlan& plan) {
  std::vector<std::string> warnings;
  if (plan.exitCode != kCheckFileFine) return warnings;
  // A missing program is the plan's own finding; only its elevation is added.
  const ProgramLookup lookup = LookUpProgram(probe, input, plan);
  if (!lookup.found) return warnings;
  std::vector<ReportLine> lines;
  AddProgram(lines, probe, lookup.found->path, probe.IntegrityLevel());
  for (const ReportLine& line : lines) {
    if (line.status != Status::Ok) warnings.push_back(line.text + " (fix: " + line.fix + ")");
  }
  return warnings;
}

}  // namespace ruskel::check
