"""The wait for the emulator window: late windows and windows that never come."""

import time

from e2e_testcase import EXIT_OK, EXIT_TIMEOUT_S, START_TIMEOUT_S, WrapperTestCase
from lconfig import VK_ESCAPE

SLOT = 12
# A player's short press of the exit key while the emulator is still loading.
WAIT_PRESS_MS = 200
WAIT_PRESS_RUNS = 10
WAIT_BEFORE_PRESS_S = 1.0
PRESS_SPREAD_S = 0.5


class WindowWaitTest(WrapperTestCase):
    def test_window_shown_late_still_gets_every_key(self):
        # The window exists (hidden) for half a second before it is shown: keys typed into it
        # before it can take the focus would be lost.
        config = self.config(exe=self.emulator_command("--show-after", "500"))
        proc = self.run_to_play(config, SLOT, ("-mygame", "-keyx27"))
        shown = self.log.named("SHOWN")
        self.assertTrue(shown, self.details(proc))
        first_key = self.log.named("KEYDOWN")[0]
        self.assertGreaterEqual(first_key.ms, shown[0].ms, self.details(proc))
        self.end_with_exit_key(proc)

    def test_a_short_exit_key_press_ends_the_wait_for_a_window(self):
        # No window is in front on this bare desktop, and under Wine raw input then reaches no
        # one: ruskel has to see the press some other way. The presses fall at moments spread
        # over half a second, so that a check that comes only now and then misses some of them.
        for run in range(WAIT_PRESS_RUNS):
            with self.subTest(run=run):
                self.fresh_case(f"wait_press_{run}")
                # closewait=0: no wait for a window that never comes once the press is seen.
                config = self.config(exe=self.emulator_command("--no-window"),
                                     options={"closewait": "0", "log": "run.log"})
                proc = self.start(config, "-mygame", "-keyx27")
                started = self.log.wait_event("START", START_TIMEOUT_S)
                self.assertIsNotNone(started, self.details(proc))
                time.sleep(WAIT_BEFORE_PRESS_S + run * PRESS_SPREAD_S / WAIT_PRESS_RUNS)
                self.assertIsNone(proc.poll(), "ruskel ended on its own\n" + self.details(proc))
                self.press(VK_ESCAPE, WAIT_PRESS_MS)
                self.assert_exits(proc, EXIT_OK)
                self.assertEqual(self.log.keys(), [], self.details(proc))

    def test_an_exit_while_the_emulator_loads_closes_the_window_it_shows_then(self):
        # The player changes their mind before the emulator has any window. The window it shows
        # a moment later would cover the front end once ruskel has gone: it is asked to quit.
        config = self.config(exe=self.emulator_command("--window-after", "1500"),
                             options={"closewait": "2500", "log": "run.log"})
        proc = self.start(config, "-mygame", "-keyx27")
        self.assertIsNotNone(self.log.wait_event("START", START_TIMEOUT_S), self.details(proc))
        time.sleep(0.5)
        self.press(VK_ESCAPE, WAIT_PRESS_MS)
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "the emulator was left running\n" + self.details(proc))
        self.assertEqual(quit_event.details, "reason=WM_QUIT", self.details(proc))
        self.assert_exits(proc, EXIT_OK)
        self.assertEqual(self.log.keys(), [], self.details(proc))
