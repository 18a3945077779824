#include "tools/check/system_report.h"

#include <algorithm>

#include "core/exit_inputs.h"
#include "core/key_names.h"
#include "core/text.h"
#include "driver/pad_reading.h"
#include "tools/check/emulator_report.h"

namespace ruskel::check {
namespace {

// ruskel reads this many winmm ids and XInput slots with joystick=any, and
// only the first of each with joystick=first.
constexpr std::uint32_t kPadsRuskelReads = 4;

constexpr std::uint32_t kLowIntegrity = 0x1000;
constexpr std::uint32_t kMediumIntegrity = 0x2000;
constexpr std::uint32_t kSystemIntegrity = 0x4000;

constexpr const char* kSendReport =
    "send this report to the ruskel developers with a description of the cabinet";

std::string HexValue(std::uint32_t value) { return "0x" + Hex(value); }

ReportLine Line(Status status, const char* topic, std::string text, std::string fix = {}) {
  return {status, topic, std::move(text), std::move(fix)};
}

std::string WindowsName(const WindowsAnswer& w) {
  if (w.major == 6 && w.minor == 0) return "Windows Vista";
  if (w.major == 6 && w.minor == 1) return "Windows 7";
  if (w.major == 6 && w.minor == 2) return "Windows 8";
  if (w.major == 6 && w.minor == 3) return "Windows 8.1";
  // Windows 11 still reports 10.0; its builds start at 22000.
  if (w.major == 10 && w.minor == 0) return w.build >= 22000 ? "Windows 11" : "Windows 10";
  return "Windows";
}

void AddWindows(std::vector<ReportLine>& out, const WindowsAnswer& w) {
  const std::string build = "this ruskel-check is a " + std::to_string(w.buildBits) + "-bit build" +
                            (w.underWow64 ? " (runs under WOW64)" : "");
  if (w.major == 0) {
    out.push_back(Line(Status::Warning, "windows",
                       "the Windows version could not be read; " + build, kSendReport));
  } else {
    std::string text = WindowsName(w) + " (" + std::to_string(w.major) + "." +
                       std::to_string(w.minor) + " build " + std::to_string(w.build) +
                       (w.servicePack.empty() ? "" : ", " + w.servicePack) + "), " +
                       (w.windows64 ? "64-bit" : "32-bit") + "; " + build;
    if (w.major < 6 || (w.major == 6 && w.minor < 1)) {
      out.push_back(Line(Status::Problem, "windows", text + "; ruskel needs Windows 7 or later",
                         "run ruskel on Windows 7 or later"));
    } else {
      out.push_back(Line(Status::Ok, "windows", text));
    }
  }
  if (!w.wineVersion.empty()) {
    out.push_back(Line(Status::Ok, "windows",
                       "running under Wine " + w.wineVersion +
                           ": the answers below are Wine's; real Windows may answer otherwise"));
  }
}

// killWithRuskel: the file's setting, when the file could be read.
void AddJob(std::vector<ReportLine>& out, const JobAnswer& job,
            std::optional<bool> killWithRuskel) {
  const std::string where =
      job.inJob ? std::string("ruskel runs inside a job") +
                      (job.outerAllowsBreakaway ? " (one that lets programs leave it)" : "")
                : std::string("ruskel runs in no job");
  if (job.assigned && job.endedWithJob) {
    out.push_back(Line(Status::Ok, "job",
                       where + (job.inJob ? ", and a second job works here" : "") +
                           ": killwithruskel=on can end the emulator together with ruskel"));
    return;
  }
  const std::string set = !killWithRuskel   ? ""
                          : *killWithRuskel ? " (this lconfig.ini sets it)"
                                            : " (this lconfig.ini leaves it off)";
  std::string text;
  std::string fix;
  if (job.assigned) {
    text = where +
           "; closing the job did not end the test program in it: killwithruskel=on may "
           "leave the emulator running" +
           set;
    fix = "end games with the exit key or button rather than by ending ruskel; " +
          std::string(kSendReport);
  } else if (job.inJob && job.created && job.testStarted) {
    // Windows 7 allows no job inside another.
    text = where + " and Windows allows no second one here (" + job.failure +
           "): killwithruskel=on cannot end the emulator with ruskel" + set;
    fix =
        "start the front end by itself (not from Task Scheduler, another launcher or a remote "
        "session), or leave killwithruskel off and end games with the exit key or button";
  } else {
    text = where + "; a job that ends the emulator with ruskel cannot be made (" + job.failure +
           "): killwithruskel=on cannot work" + set;
    fix = "leave killwithruskel off and end games with the exit key or button; " +
          std::string(kSendReport);
  }
  out.push_back(Line(Status::Warning, "job", text, fix));
}

void AddRawInput(std::vector<ReportLine>& out, const RawInputAnswer& raw) {
  const char* noExitKey =
      "end games with a pad button (-butx) meanwhile, and send this report to the ruskel "
      "developers";
  if (!raw.registered) {
    out.push_back(Line(
        Status::Problem, "raw input",
        "the keyboard cannot be watched (" + raw.failure + "): the exit key will not end games",
        noExitKey));
    return;
  }
  const std::string front = raw.testWindowInFront
                                ? "while the check's test window was in front"
                                : "while another program was in front (the check's test window "
                                  "could not come forward)";
  const std::string key = KeyWithCode(raw.sentKey);
  if (!raw.sent) {
    out.push_back(Line(
        Status::Warning, "raw input",
        "the test key " + key + " could not be typed (" + raw.failure +
            "): ruskel's own keys may not reach the emulator either",
        "close other programs and run the check again; if it stays, " + std::string(kSendReport)));
    return;
  }
  if (!raw.arrived) {
    out.push_back(Line(Status::Problem, "raw input",
                       "the test key " + key + ", typed " + front +
                           ", never reached ruskel's hidden window: the exit key may not end "
                           "games",
                       noExitKey));
    return;
  }
  std::string text = "the test key " + key + ", typed " + front + ", reached the hidden window (" +
                     "vkey " + std::to_string(raw.vkey) + ", make code " + HexValue(raw.makeCode) +
                     ", flags " + HexValue(raw.flags) + ", extra " + HexValue(raw.extraInformation) + ")";
  text += raw.testWindowGotKey ? "; the window in front got it too"
                               : "; the window in front did not get it";
  if (raw.markCameBack) {
    text += "; ruskel's mark came back: its own keys are told apart exactly";
  } else {
    text +=
        "; note: ruskel's mark did not come back, so ruskel tells its own keys by key and time "
        "(an exit key pressed within half a second of the same key in a sequence may be "
        "missed)";
  }
  out.push_back(Line(Status::Ok, "raw input", text));
}

std::string Held(std::uint32_t winmmButtons) {
  if (winmmButtons == 0) return "nothing held now";
  return "held now: " + DescribeButtonMask(winmmButtons) + " (-butx" +
         std::to_string(winmmButtons) + ")";
}

// file: the file's settings and arguments, when the file could be read.
void AddPads(std::vector<ReportLine>& out, const PadsAnswer& pads, const RunState* file) {
  const bool first = file == nullptr || file->Options.joystick == JoystickChoice::First;
  const std::uint32_t reads = first ? 1 : kPadsRuskelReads;
  const std::string choice = first ? "joystick=first" : "joystick=any";
  bool anyRead = false;
  bool anyFixable = false;  // a pad that joystick=any would read
  auto readText = [&](std::uint32_t index) {
    if (index < reads) {
      anyRead = true;
      return std::string("read by ruskel");
    }
    if (index < kPadsRuskelReads) {
      anyFixable = true;
      return "not read with " + choice + ", which reads only number 0";
    }
    return std::string("never read: ruskel reads numbers 0 to 3");
  };
  for (const WinmmPad& pad : pads.winmm) {
    out.push_back(Line(Status::Ok, "pads",
                       "joystick " + std::to_string(pad.id) +
                           " (winmm): " + std::to_string(pad.buttonCount) + " buttons, " +
                           Held(pad.buttons) + "; " + readText(pad.id)));
  }
  for (const XInputPad& pad : pads.xinput) {
    out.push_back(Line(Status::Ok, "pads",
                       "XInput pad " + std::to_string(pad.slot) + ": " +
                           Held(WinmmButtonsOfXInput(pad.buttons)) + "; " + readText(pad.slot)));
  }
  out.push_back(Line(Status::Ok, "pads",
                     pads.xinputDll.empty()
                         ? "XInput: no XInput DLL loaded (fine: pads are read through winmm then)"
                         : "XInput: " + pads.xinputDll + " loaded, " +
                               std::to_string(pads.xinput.size()) + " of 4 slots connected; " +
                               "winmm offers " + std::to_string(pads.winmmIds) + " joystick ids"));

  const bool buttonGiven = file != nullptr && file->ExitButton.has_value();
  const std::string button = buttonGiven
                                 ? "the exit button -butx" + std::to_string(*file->ExitButton)
                                 : "an exit button (-butx)";
  if (pads.winmm.empty() && pads.xinput.empty()) {
    if (buttonGiven) {
      out.push_back(Line(Status::Warning, "pads",
                         "no game pad answers: " + button + " of the arguments cannot end games",
                         "connect the pad before the front end starts, and check it in Game "
                         "Controllers (joy.cpl)"));
    } else {
      out.push_back(
          Line(Status::Ok, "pads", "no game pad answers (needed only for an exit button, -butx)"));
    }
  } else if (!anyRead) {
    out.push_back(Line(Status::Warning, "pads",
                       "pads answer, but none where ruskel reads with " + choice + ": " + button +
                           " can never end games",
                       anyFixable ? "set joystick=any in the {options} section of lconfig.ini"
                                  : "unplug other game controllers so that this pad gets a number "
                                    "from 0 to 3"));
  }
}

void AddIntegrity(std::vector<ReportLine>& out, std::optional<std::uint32_t> level) {
  if (!level) {
    out.push_back(
        Line(Status::Warning, "integrity", "the integrity level could not be read", kSendReport));
    return;
  }
  const std::string rid = " (" + HexValue(*level) + ")";
  if (*level < kMediumIntegrity) {
    out.push_back(Line(Status::Problem, "integrity",
                       std::string(*level < kLowIntegrity ? "untrusted" : "low") + rid +
                           ": keys and messages from here reach no normal program's window",
                       "start the front end and ruskel as a normal program, not from a sandbox, "
                       "a browser or a restricted account"));
  } else if (*level < kHighIntegrity) {
    out.push_back(Line(Status::Ok, "integrity", "medium" + rid + ": a normal program's level"));
  } else if (*level < kSystemIntegrity) {
    out.push_back(Line(Status::Ok, "integrity",
                       "high" + rid +
                           ": run as administrator; ruskel started this way reaches every "
                           "window, but when the front end runs without administrator rights, "
                           "run this check that way too"));
  } else {
    out.push_back(Line(Status::Warning, "integrity",
                       "system" + rid + ": running as a service, not as the signed-in user",
                       "run the front end and ruskel from the signed-in user's desktop"));
  }
}

}  // namespace

std::vector<ReportLine> BuildSystemReport(SystemProbe& probe, const CheckInput& input) {
  const bool fileRead = input.reader(input.configFile).ok;
  const CheckPlan plan = BuildPlan(input);
  // A file ruskel would refuse has no settings to go by.
  const RunState* file = plan.exitCode == kCheckFileFine ? plan.state.get() : nullptr;
  const std::optional<std::uint32_t> integrity = probe.IntegrityLevel();

  std::vector<ReportLine> out;
  AddWindows(out, probe.Windows());
  AddJob(out, probe.Job(),
         file != nullptr ? std::optional<bool>(file->Options.killwithruskel) : std::nullopt);
  AddRawInput(out, probe.RawInput());
  AddPads(out, probe.Pads(), file);
  AddEmulator(out, probe, input, plan, fileRead, integrity);
  AddIntegrity(out, integrity);
  return out;
}

std::string FormatSystemReport(const std::string& configFile,
                               const std::vector<ReportLine>& lines) {
  constexpr std::size_t kStatusWidth = 9;
  constexpr std::size_t kTopicWidth = 11;
  std::string out = "ruskel-check --system: " + configFile + "\n\n";
  int warnings = 0;
  int problems = 0;
  for (const ReportLine& line : lines) {
    std::string status = line.status == Status::Ok        ? "ok"
                         : line.status == Status::Warning ? "warning"
                                                          : "problem";
    warnings += line.status == Status::Warning ? 1 : 0;
    problems += line.status == Status::Problem ? 1 : 0;
    status.resize(kStatusWidth, ' ');
    std::string topic = line.topic;
    topic.resize(std::max(kTopicWidth, topic.size() + 1), ' ');
    out += status + topic + line.text + "\n";
    if (!line.fix.empty()) {
      out += std::string(kStatusWidth + kTopicWidth, ' ') + "fix: " + line.fix + "\n";
    }
  }
  // Appended piece by piece: GCC 12 misreads "\n" + text as overlapping copies.
  out += '\n';
  out += std::to_string(problems) + (problems == 1 ? " problem, " : " problems, ");
  out += std::to_string(warnings) + (warnings == 1 ? " warning\n" : " warnings\n");
  return out;
}

int SystemExitCode(const std::vector<ReportLine>& lines) {
  const bool problem = std::any_of(lines.begin(), lines.end(), [](const ReportLine& line) {
    return line.status == Status::Problem;
  });
  return problem ? kSystemProblem : kSystemFine;
}

}  // namespace ruskel::check
