"""ruskel-check.exe --system and --watch-pads under Wine: the report is complete, each probe gives
the answer Wine gives, and the pad watch ends on Esc."""

import re
import shutil
import subprocess
from pathlib import Path
from typing import Tuple

from e2e_testcase import E2ETestCase, session
from harness import wait_until
from lconfig import VK_ESCAPE

DEMO_CONFIG = Path(__file__).resolve().parent.parent.parent / "demo" / "lconfig.ini"
LAYERS_KEY = r"HKCU\Software\Microsoft\Windows NT\CurrentVersion\AppCompatFlags\Layers"


class SystemCheckTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        if session().bins.check is None:
            self.skipTest("no ruskel-check.exe in this build")
        # Beside ruskel.exe's lconfig.ini, as on a cabinet: --system reads the file next to it.
        self.check_exe = self.case.folder / "ruskel-check.exe"
        shutil.copy2(session().bins.check, self.check_exe)
        shutil.copy2(DEMO_CONFIG, self.case.folder / "lconfig.ini")

    def system(self) -> Tuple[int, str]:
        return self.run_console(self.check_exe, "--system")

    def assert_line(self, out: str, status: str, topic: str, pattern: str) -> re.Match:
        found = re.search(rf"^{status} +{topic} +{pattern}", out, re.MULTILINE)
        self.assertIsNotNone(found, f"no {status} {topic} line matching {pattern!r} in:\n{out}")
        return found

    def test_the_report_is_complete_and_gives_wines_answers(self):
        code, out = self.system()
        self.assertEqual(code, 0, out)
        self.assertRegex(out, r"^ruskel-check --system: .*\\lconfig\.ini\n")
        # Wine 8's fresh prefix claims Windows 7 SP1; the bitness is the build's own.
        self.assert_line(out, "ok", "windows",
                         r"Windows 7 \(6\.1 build 7601, Service Pack 1\), (32|64)-bit; "
                         r"this ruskel-check is a (32|64)-bit build")
        self.assert_line(out, "ok", "windows", r"running under Wine \d")
        # Whether Wine puts a program started from a Unix shell in a job differs between
        # machines (the same Wine 8 package says no on one and yes on another); either way a
        # second, kill-on-close job works under Wine.
        self.assert_line(out, "ok", "job",
                         "ruskel runs (in no job|inside a job, and a second job works here): "
                         "killwithruskel=on can end")
        # Wine makes raw input only while some window is in front (test_platform_layer.py); the
        # check's own test window is, so the key arrives, and Wine hands the mark back. Wine's
        # keyboard table has no scan code for F13, so the make code is 0 (Windows gives 0x64).
        self.assert_line(out, "ok", "raw input",
                         re.escape("the test key F13 (124), typed while the check's test window "
                                   "was in front, reached the hidden window (vkey 124, make code "
                                   "0x0, flags 0x0, extra 0x4C4B5352); the window in front got it "
                                   "too; ruskel's mark came back"))
        # No joystick under Xvfb; Wine has xinput1_4.dll, with no pad connected.
        self.assert_line(out, "ok", "pads", r"XInput: xinput1_4\.dll loaded, 0 of 4 slots")
        self.assert_line(out, "ok", "pads", r"no game pad answers \(needed only")
        self.assert_line(out, "ok", "emulator", r"program found: .*\\demoemu\.exe\n")
        self.assert_line(out, "ok", "emulator",
                         'no "Run as administrator" flag; no elevation in its manifest')
        # Wine's user is an administrator with a full token.
        self.assert_line(out, "ok", "integrity", r"high \(0x3000\)")
        self.assertIn("\n0 problems, 0 warnings\n", out)

    def test_the_emulators_elevation_is_read_from_its_manifest_and_the_registry(self):
        # ruskel-check.exe stands in for the emulator: its manifest says asInvoker.
        text = DEMO_CONFIG.read_bytes().replace(b"exe=demoemu.exe", b"exe=ruskel-check.exe")
        (self.case.folder / "lconfig.ini").write_bytes(text)
        code, out = self.system()
        self.assertEqual(code, 0, out)
        self.assert_line(out, "ok", "emulator", "no .* flag; manifest: asInvoker")
        program = self.assert_line(out, "ok", "emulator", r"program found: (.*)\n").group(1)

        # What ticking "Run this program as an administrator" on the Compatibility tab writes.
        added = subprocess.run(
            ["wine", "reg", "add", LAYERS_KEY, "/v", program, "/t", "REG_SZ", "/d",
             "~ RUNASADMIN", "/f"],
            env=session().env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        self.assertEqual(added.returncode, 0)
        code, out = self.system()
        # A warning, not a problem: under Wine the check itself runs as administrator.
        self.assertEqual(code, 0, out)
        self.assert_line(out, "warning", "emulator",
                         'the emulator starts as administrator: its Compatibility tab says "Run '
                         'this program as an administrator"; this check runs as administrator')
        self.assertRegex(out, r"\n +fix: right-click the program, Properties, Compatibility")
        # The plain check on the cabinet warns of it too.
        code, out = self.run_console(self.check_exe, "lconfig.ini", "-mygame")
        self.assertEqual(code, 0, out)
        self.assertIn('the emulator starts as administrator: its Compatibility tab says "Run this '
                      'program as an administrator"', out)

    def test_watch_pads_ends_on_esc(self):
        proc = self.case.spawn(self.check_exe, "--watch-pads", name="watch")
        no_pad = "no game pad answers; plug one in, it is looked for every few seconds"
        self.assertTrue(wait_until(lambda: no_pad in self.case.output_lines("watch"), 30),
                        self.case.output_lines("watch"))
        self.assertEqual(self.case.tool("press", str(VK_ESCAPE), "150").returncode, 0)
        self.assertEqual(self.case.wait_exit(proc, 10), 0, self.case.output_lines("watch"))
        self.assertEqual(self.case.output_lines("watch")[-1], "Esc pressed: done.")
