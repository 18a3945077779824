"""The curtain over the menu walk, and the run log."""

import subprocess
import sys
import time
from pathlib import Path

from e2e_testcase import EXIT_OK, START_TIMEOUT_S, WrapperTestCase
from lconfig import expected_keys

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
from xwd2png import convert  # noqa: E402

SLOT = 12
KEY_DELAY_MS = 60


def dark_share(display: str, env) -> float:
    """The share of the screen's pixels that are black (all channels below 16)."""
    dump = subprocess.run(["xwd", "-root", "-silent", "-display", display], env=env,
                          stdout=subprocess.PIPE, timeout=30, check=True).stdout
    width, height, rows = convert(dump)
    dark = 0
    stride = 1 + width * 3
    for y in range(0, height, 4):
        line = rows[y * stride + 1:(y + 1) * stride]
        for x in range(0, width * 3, 12):
            if line[x] < 16 and line[x + 1] < 16 and line[x + 2] < 16:
                dark += 1
    samples = ((height + 3) // 4) * ((width + 3) // 4)
    return dark / samples


class CurtainTest(WrapperTestCase):
    def test_the_walk_is_hidden_and_every_key_still_arrives(self):
        config = self.config(options={"curtain": "on", "keydelay": str(KEY_DELAY_MS)})
        proc = self.start(config, f"-{config.games[SLOT]}", "-keyx27")
        # Mid-walk: the window is up and the first selects have arrived.
        started = self.log.wait_for(lambda _e: len(self.log.keys()) >= 6, START_TIMEOUT_S)
        self.assertTrue(started, self.details(proc))
        session = self.case.session
        share = dark_share(session.display, session.env)
        # The demo's window is black too; its menu text is what the curtain hides.
        self.assertGreater(share, 0.999, f"the screen is not black mid-walk ({share:.2%})")
        self.assert_selected_and_played(proc, config, SLOT)
        # Lifted a short while after the enter sequence. (What it uncovers is not checked by
        # its pixels: Wine on a bare X display leaves it black until the emulator draws again.)
        time.sleep(1.5)
        windows = self.case.tool("windows").lines
        shown = [w for w in windows if w.startswith("1 ") and "RuskelCurtain" in w]
        self.assertFalse(shown, "\n".join(windows))
        self.end_with_exit_key(proc)


class RunLogTest(WrapperTestCase):
    def test_a_stranger_can_tell_what_happened(self):
        config = self.config(options={"log": "ruskel.log"})
        proc = self.run_to_play(config, SLOT, (f"-{config.games[SLOT]}", "-keyx27"))
        self.end_with_exit_key(proc)
        log = (self.case.folder / "ruskel.log").read_text(errors="replace")
        keys = len(expected_keys(config, SLOT))
        for part in ("---- ruskel run ----", 'arguments: "-mygame -keyx27"',
                     'rom "mygame", exit key 27, exit button none', "log=ruskel.log",
                     "started ", "window found, process ", "window in front after ",
                     "startup sequence: 2 key events",
                     f"rom found in slot {SLOT}: select sequence {SLOT} times, then enter, "
                     f"{keys - 2} key events",
                     "enter sequence sent", "exit key 27 pressed", "WM_QUIT posted",
                     "the emulator has quit", f"exit code {EXIT_OK}"):
            self.assertIn(part, log)
        # A second run appends its own block.
        path = self.case.folder / "ruskel.log"
        proc = self.start(None, f"-{config.games[SLOT]}", "-keyx27")
        deadline = time.monotonic() + START_TIMEOUT_S
        while path.read_text(errors="replace").count("enter sequence sent") < 2:
            self.assertLess(time.monotonic(), deadline, path.read_text(errors="replace"))
            time.sleep(0.1)
        self.press(27)
        self.assert_exits(proc, EXIT_OK)
        self.assertEqual(path.read_text(errors="replace").count("---- ruskel run ----"), 2)

    def test_an_options_block_pasted_with_line_feeds_takes_effect(self):
        # The README's {options} block pasted from a web page into a CR LF file.
        config = self.config()
        self.case.write_config(config.text() + "{options}\nlog=ruskel.log\n{/options}\n")
        proc = self.start(None, f"-{config.games[SLOT]}", "-keyx27")
        self.assert_selected_and_played(proc, config, SLOT)
        self.end_with_exit_key(proc)
        log = (self.case.folder / "ruskel.log").read_text(errors="replace")
        self.assertIn("log=ruskel.log", log)
        self.assertIn(f"exit code {EXIT_OK}", log)
