#include "tools/check/system_report.h"

#include <gtest/gtest.h>

#include "run_harness.h"
#include "stand_in_probe.h"
#include "tools/check/emulator_report.h"

namespace ruskel::check {
namespace {

struct Cabinet {
  StandInProbe probe;
  testing::ConfigText config;  // exe=emulator.exe, found in C:\Games\ruskel
  bool fileThere = true;
  std::string arguments;
};

CheckInput InputOf(Cabinet& setup) {
  CheckInput input;
  input.configFile = "C:\\Games\\ruskel\\lconfig.ini";
  input.programDir = "C:\\Games\\ruskel";
  input.argumentText = setup.arguments;
  input.reader = [&setup, file = setup.config.Build()](const std::string&) {
    return FileReadResult{setup.fileThere, file, "no such file"};
  };
  return input;
}

std::vector<ReportLine> Report(Cabinet& setup) {
  return BuildSystemReport(setup.probe, InputOf(setup));
}

TEST(SystemReportTest, AHealthyCabinetGivesEveryTopicAndNoFinding) {
  Cabinet setup;
  const auto lines = Report(setup);
  const std::string text = FormatSystemReport("lconfig.ini", lines);
  for (const char* topic : {"windows", "job", "raw input", "pads", "emulator", "integrity"}) {
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [topic](const ReportLine& line) { return line.topic == topic; }))
        << topic << " missing in:\n"
        << text;
  }
  EXPECT_NE(text.find("0 problems, 0 warnings"), std::string::npos) << text;
  EXPECT_EQ(SystemExitCode(lines), kSystemFine);
}

TEST(SystemReportTest, ThePlainCheckWarnsOfTheAdministratorFlagOnly) {
  Cabinet setup;
  const CheckInput input = InputOf(setup);
  const CheckPlan plan = BuildPlan(input);
  EXPECT_TRUE(EmulatorWarnings(setup.probe, input, plan).empty());
  setup.probe.program.layersUser = "~ RUNASADMIN";
  const auto warnings = EmulatorWarnings(setup.probe, input, plan);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("(fix: right-click the program"), std::string::npos) << warnings[0];
}

struct SystemCase {
  const char* name;
  std::function<void(Cabinet&)> edit;
  const char* topic;
  Status status;
  const char* part;  // in the text of that topic's line with that status
};

class SystemReportCase : public ::testing::TestWithParam<SystemCase> {};

TEST_P(SystemReportCase, DecidesAndSaysWhatToDo) {
  const SystemCase& c = GetParam();
  Cabinet setup;
  c.edit(setup);
  const auto lines = Report(setup);
  const std::string text = FormatSystemReport("lconfig.ini", lines);
  const auto line = std::find_if(lines.begin(), lines.end(), [&c](const ReportLine& l) {
    return l.topic == c.topic && l.status == c.status && l.text.find(c.part) != std::string::npos;
  });
  ASSERT_NE(line, lines.end()) << "no such line in:\n" << text;
  EXPECT_EQ(line->fix.empty(), c.status == Status::Ok) << text;
  EXPECT_EQ(SystemExitCode(lines), c.status == Status::Problem ? kSystemProblem : kSystemFine);
}

std::string Manifest(const char* level) {
  return std::string(
             "<trustInfo><security><requestedPrivileges><requestedExecutionLevel level=\"") +
         level + "\" uiAccess=\"false\"/></requestedPrivileges></security></trustInfo>";
}

constexpr auto kOk = Status::Ok;
constexpr auto kWarning = Status::Warning;
constexpr auto kProblem = Status::Problem;

INSTANTIATE_TEST_SUITE_P(
    Answers, SystemReportCase,
    ::testing::Values(
        SystemCase{"windows11", [](Cabinet& s) { s.probe.windows.build = 22631; }, "windows", kOk,
                   "Windows 11 (10.0 build 22631), 64-bit"},
        SystemCase{"vista",
                   [](Cabinet& s) {
                     s.probe.windows.major = 6;
                     s.probe.windows.minor = 0;
                   },
                   "windows", kProblem, "Windows 7 or later"},
        SystemCase{"wine", [](Cabinet& s) { s.probe.windows.wineVersion = "8.0"; }, "windows", kOk,
                   "running under Wine 8.0"},
        SystemCase{"in_a_job_without_a_second",
                   [](Cabinet& s) {
                     s.probe.job = {true, false, true, true, false, false, "Access is denied."};
                     s.config.options = {"killwithruskel=on"};
                   },
                   "job", kWarning,
                   "no second one here (Access is denied.): killwithruskel=on cannot end the "
                   "emulator with ruskel (this lconfig.ini sets it)"},
        SystemCase{"nested_job_works", [](Cabinet& s) { s.probe.job.inJob = true; }, "job", kOk,
                   "a second job works here"},
        SystemCase{"job_kept_its_process", [](Cabinet& s) { s.probe.job.endedWithJob = false; },
                   "job", kWarning, "did not end the test program"},
        SystemCase{"no_raw_input", [](Cabinet& s) { s.probe.raw.registered = false; }, "raw input",
                   kProblem, "the exit key will not end games"},
        SystemCase{"key_never_arrived", [](Cabinet& s) { s.probe.raw.arrived = false; },
                   "raw input", kProblem, "never reached ruskel's hidden window"},
        SystemCase{"mark_missing",
                   [](Cabinet& s) {
                     s.probe.raw.markCameBack = false;
                     s.probe.raw.testWindowInFront = false;
                   },
                   "raw input", kOk, "another program was in front"},
        SystemCase{"no_pad_and_no_butx", [](Cabinet& s) { s.probe.pads[0].winmm.clear(); }, "pads",
                   kOk, "no game pad answers (needed only"},
        SystemCase{"no_pad_for_butx",
                   [](Cabinet& s) {
                     s.probe.pads[0].winmm.clear();
                     s.arguments = "-mygame -butx4";
                   },
                   "pads", kWarning, "-butx4 of the arguments cannot end games"},
        SystemCase{"pad_beside_joystick_first",
                   [](Cabinet& s) {
                     s.probe.pads[0] = {16, {}, "xinput1_4.dll", {{1, 0x1000}}};
                   },
                   "pads", kWarning, "none where ruskel reads with joystick=first"},
        SystemCase{"pad_beyond_id_3",
                   [](Cabinet& s) {
                     s.probe.pads[0].winmm[0].id = 5;
                     s.config.options = {"joystick=any"};
                   },
                   "pads", kWarning, "none where ruskel reads with joystick=any"},
        SystemCase{"held_buttons", [](Cabinet& s) { s.probe.pads[0].winmm[0].buttons = 5; }, "pads",
                   kOk, "(-butx5); read by ruskel"},
        SystemCase{"no_file", [](Cabinet& s) { s.fileThere = false; }, "emulator", kWarning,
                   "no lconfig.ini at"},
        // Without the file's arguments there is no -butx to miss.
        SystemCase{"no_file_no_pads",
                   [](Cabinet& s) {
                     s.fileThere = false;
                     s.probe.pads[0].winmm.clear();
                   },
                   "pads", kOk, "no game pad answers (needed only"},
        SystemCase{"broken_file", [](Cabinet& s) { s.config.select = {"40 up"}; }, "emulator",
                   kProblem, "ruskel.exe would refuse lconfig.ini"},
        SystemCase{"no_program", [](Cabinet& s) { s.probe.files.clear(); }, "emulator", kProblem,
                   "names no program in C:\\Games\\ruskel"},
        SystemCase{"run_as_admin_flag",
                   [](Cabinet& s) { s.probe.program.layersUser = "~ RUNASADMIN WIN7RTM"; },
                   "emulator", kProblem, "\"Run this program as an administrator\""},
        SystemCase{"run_as_admin_while_elevated",
                   [](Cabinet& s) {
                     s.probe.program.layersMachine = "RunAsAdmin";
                     s.probe.integrity = 0x3000;
                   },
                   "emulator", kWarning, "works only while the front end does too"},
        SystemCase{"manifest_requires_admin",
                   [](Cabinet& s) { s.probe.program.manifest = Manifest("requireAdministrator"); },
                   "emulator", kProblem, "requireAdministrator"},
        SystemCase{"utf16_manifest_highest",
                   [](Cabinet& s) {
                     std::string wide;
                     for (char c : Manifest("highestAvailable")) wide += {c, '\0'};
                     s.probe.program.manifest = wide;
                   },
                   "emulator", kWarning, "highestAvailable"},
        SystemCase{"manifest_as_invoker",
                   [](Cabinet& s) {
                     s.probe.program = {"~ WIN7RTM", "", true, Manifest("asInvoker")};
                   },
                   "emulator", kOk, "(compatibility flags: ~ WIN7RTM); manifest: asInvoker"},
        SystemCase{"low_integrity", [](Cabinet& s) { s.probe.integrity = 0x1000; }, "integrity",
                   kProblem, "low (0x1000)"},
        SystemCase{"high_integrity", [](Cabinet& s) { s.probe.integrity = 0x3000; }, "integrity",
                   kOk, "high (0x3000)"},
        SystemCase{"system_integrity", [](Cabinet& s) { s.probe.integrity = 0x4000; }, "integrity",
                   kWarning, "running as a service"}),
    [](const ::testing::TestParamInfo<SystemCase>& info) { return info.param.name; });

}  // namespace
}  // namespace ruskel::check
