"""Window rules: a title that changes once a game runs, a window with no title at all, and a
title that matches nothing."""

import time

from e2e_testcase import EMULATOR_LIFETIME_MS, WrapperTestCase

SLOT = 12  # mygame
RUN_LOG = "ruskel.log"
# The log names the emulator's real title within this long of the start.
NAMED_WITHIN_S = 8


class WindowMatchTest(WrapperTestCase):
    def demo(self, *switches: str) -> str:
        return " ".join(["demoemu.exe", *switches, "--lifetime", str(EMULATOR_LIFETIME_MS)])

    def test_prefix_follows_a_title_that_gains_the_game_once_it_runs(self):
        shown = self.case.own_title(f"{self.title} v1.2")
        playing = self.case.own_title(f"{shown} - playing")
        exe = self.demo("--title", f'"{shown}"', "--title-suffix", '" - playing"')
        config = self.config(exe=exe, options={"match": "prefix", "log": RUN_LOG})
        proc = self.run_to_play(config, SLOT, ("-mygame", "-keyx27"))
        renamed = self.log.wait_event("TITLE", 5)
        self.assertIsNotNone(renamed, self.details(proc))
        self.assertEqual(renamed.details, f"text={playing}", self.details(proc))
        self.end_with_exit_key(proc)

    def test_own_finds_a_window_without_a_title(self):
        # No window has the title line's text: only the emulator's own window can be found.
        exe = self.demo("--no-title", "--window-class", "RuskelOwnClass")
        config = self.config(exe=exe, options={"match": "own", "windowclass": "ruskelownclass",
                                               "log": RUN_LOG})
        proc = self.run_to_play(config, SLOT, ("-mygame", "-keyx27"))
        self.end_with_exit_key(proc)
        self.assertIn("waiting for the first visible window of class \"ruskelownclass\" of the "
                      "emulator's processes", self.details(proc))

    def test_a_title_one_blank_off_is_named_in_the_log(self):
        # The owner typed a blank the emulator's title does not have: nothing matches, and the
        # log shows the title the emulator really has beside the one asked for.
        asked = self.title.replace(" ", "", 1)
        config = self.config(exe=self.demo("--title", f'"{self.title}"'), options={"log": RUN_LOG})
        config.title = asked
        started = time.monotonic()
        proc = self.start(config, "-mygame", "-keyx27")
        expected = (f'the emulator shows "{self.title}" (class RuskelDemoEmulator); '
                    f'{{handles}} asks for "{asked}"; ')
        run_log = self.case.folder / RUN_LOG
        while time.monotonic() - started < NAMED_WITHIN_S:
            if run_log.exists() and expected in run_log.read_text(errors="replace"):
                break
            time.sleep(0.2)
        text = run_log.read_text(errors="replace") if run_log.exists() else ""
        self.assertIn(expected, text, self.details(proc))
        self.assertEqual(text.count("the emulator shows"), 1, self.details(proc))
        self.assertEqual(self.log.keys(), [], self.details(proc))
        self.press(27)
        self.assert_exits(proc, 0)
