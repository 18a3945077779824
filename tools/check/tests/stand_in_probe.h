// A SystemProbe that gives set answers: by default those of a healthy
// Windows 10 cabinet with one pad.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "tools/check/probes/system_probe.h"

namespace ruskel::check {

struct StandInProbe : SystemProbe {
  WindowsAnswer windows{10, 0, 19045, "", true, false, 64, ""};
  JobAnswer job{false, false, true, true, true, true, ""};
  RawInputAnswer raw{true, true, true, 0x7C, true, true, true, 0x7C, 0x64, 0, 0x4C4B5352, ""};
  // Pads() hands these out in turn and then keeps giving the last.
  std::vector<PadsAnswer> pads{PadsAnswer{16, {{0, 12, 0}}, "xinput1_4.dll", {}}};
  std::set<std::string> files{"C:\\Games\\ruskel\\emulator.exe"};
  ProgramAnswer program{"", "", true, std::nullopt};
  std::optional<std::uint32_t> integrity = 0x2000;
  // EscapeDown() likewise.
  std::vector<bool> escape{false};
  std::size_t padReads = 0;
  std::size_t escapeLooks = 0;

  WindowsAnswer Windows() override { return windows; }
  JobAnswer Job() override { return job; }
  RawInputAnswer RawInput() override { return raw; }
  PadsAnswer Pads() override { return pads[std::min(padReads++, pads.size() - 1)]; }
  bool FileExists(const std::string& path) override { return files.contains(path); }
  ProgramAnswer Program(const std::string&) override { return program; }
  std::optional<std::uint32_t> IntegrityLevel() override { return integrity; }
  bool EscapeDown() override { return escape[std::min(escapeLooks++, escape.size() - 1)]; }
  void Wait(std::uint32_t) override {}
};

}  // namespace ruskel::check
