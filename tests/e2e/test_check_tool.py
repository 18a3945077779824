"""ruskel-check.exe under Wine: the text after the file's path reaches the parser as ruskel.exe
would read its own command line."""

import re
import shutil
import time
from pathlib import Path
from typing import Tuple

from e2e_testcase import E2ETestCase, session
from lconfig import Config

DEMO_CONFIG = Path(__file__).resolve().parent.parent.parent / "demo" / "lconfig.ini"


class CheckToolTest(E2ETestCase):
    def setUp(self):
        super().setUp()
        if session().bins.check is None:
            self.skipTest("no ruskel-check.exe in this build")
        # A folder with a blank in its name: its path must be quoted on the command line.
        (self.case.folder / "cab dir").mkdir()
        shutil.copy2(DEMO_CONFIG, self.case.folder / "cab dir" / "lconfig.ini")

    def check(self, *args: str, timeout_s: float = 60) -> Tuple[int, str]:
        return self.run_console(session().bins.check.resolve(), *args, timeout_s=timeout_s)

    def test_the_raw_command_line_is_used(self):
        # Wine quotes "-keyx 65" on the Windows command line, as a front end would. ruskel.exe
        # reads the quotes as text: the first one ends up in the rom (and is removed there, as a
        # file name cannot hold one), the second in the key text. The arguments joined again
        # with blanks would have given the exit key 65 instead.
        code, out = self.check("cab dir\\lconfig.ini", "-mygame", "-keyx 65")
        self.assertEqual(code, 0, out)
        self.assertIn('arguments: -mygame "-keyx 65"\n', out)
        self.assertIn('rom:               "mygame"\n', out)
        self.assertIn('key:               none ("65"" is no key code from 1 to 255)', out)

    def test_args_gives_the_text_as_one_argument(self):
        code, out = self.check("cab dir\\lconfig.ini", "--args", "-mygame   -keyx65")
        self.assertEqual(code, 0, out)
        self.assertIn("arguments: -mygame   -keyx65\n", out)
        self.assertIn("key:               A (65)", out)


    def test_a_copy_is_the_file_the_error_names(self):
        # The docs advise checking a copy before it replaces lconfig.ini.
        text = DEMO_CONFIG.read_bytes().replace(b"{/handles}", b"{/Handles}")
        (self.case.folder / "cab dir" / "lconfig-new.ini").write_bytes(text)
        code, out = self.check("cab dir\\lconfig-new.ini", "-mygame")
        self.assertEqual(code, 2, out)
        self.assertIn("\n  lconfig-new.ini line 9: {handles} holds at most 2 lines", out)
        self.assertRegex(out, r"\n  File: [A-Z]:\\.*\\cab dir\\lconfig-new\.ini\n")
        self.assertNotIn("lconfig.ini", out)

    def test_windows_lists_the_emulators_window_and_closes_it(self):
        # The emulator started as a run starts it; with no input the check ends by itself.
        title = self.unique_title()
        asked = title.replace(" ", "", 1)
        self.case.write_config(
            Config(title=asked, exe=f'demoemu.exe --title "{title}" --lifetime 60000').text())
        started = time.monotonic()
        code, out = self.check("--windows", "lconfig.ini", timeout_s=30)
        self.assertLess(time.monotonic() - started, 30, out)
        self.assertEqual(code, 2, out)
        self.assertRegex(out, r"started \"[A-Z]:\\.*\\demoemu\.exe\" --title")
        self.assertIn(f'  "{title}" (class RuskelDemoEmulator), ', out)
        self.assertIn(": match=own would take it\n", out)
        self.assertIn(f'{{handles}} asks for "{asked}": no window of the emulator fits; the nearest '
                      f'title is "{title}"', out)
        self.assertIn("closing the emulator: WM_QUIT posted to", out)
        self.assertTrue(out.endswith("the emulator has quit\n"), out)
        quit_event = self.emulator_log().wait_event("QUIT", 5)
        self.assertIsNotNone(quit_event, out)
        self.assertEqual(quit_event.fields.get("reason"), "WM_QUIT", out)

    def test_pixel_reads_the_running_emulators_menu_mark(self):
        # The owner has started the emulator; the check finds it by the file's title, starts
        # nothing, and prints the colour of the menu's ready mark as a wait pixel line.
        title = self.unique_title()
        self.case.write_config(Config(title=title, exe="demoemu.exe").text())
        self.case.start_demoemu("--title", title, "--lifetime", "60000")
        self.assertIsNotNone(self.emulator_log().wait_event("SHOWN", 30), "the emulator never showed")
        code, out = self.check("--pixel", "615,23", "lconfig.ini", timeout_s=30)
        self.assertEqual(code, 0, out)
        shown = re.search(rf'the pixel at 615,23 of the client area of "{title}" is ([0-9A-F]{{6}})\n',
                          out)
        self.assertIsNotNone(shown, out)
        colour = shown.group(1)
        # The demo's ready mark is 00C850; the screen may give a few steps off, as a wait allows.
        for at, wanted in ((0, 0x00), (2, 0xC8), (4, 0x50)):
            self.assertLessEqual(abs(int(colour[at:at + 2], 16) - wanted), 8, out)
        self.assertTrue(out.endswith(f"\n  wait pixel 615,23 {colour}\n"), out)
        self.assertNotIn("note:", out)
        self.assertEqual(self.emulator_log().named("QUIT"), [], "the check closed the emulator")
