"""The exit key as input events: taps, ruskel's own keys, a key held as a run starts and a key
left stuck down by an earlier run."""

import threading
import time

from e2e_testcase import EXIT_OK, EXIT_TIMEOUT_S, WrapperTestCase
from lconfig import VK_ESCAPE, tap

SLOT = 3
TAP_MS = 5
# Long enough for the misc keys to be typed and looked at.
SETTLE_S = 1.5
# A player's press of the exit key, and how long after the game's start it comes: past the
# autorepeat gap (1 s from ruskel's start), before which a key-down on a key already down cannot
# be told from autorepeat of a key really held.
REAL_PRESS_MS = 100
STUCK_SETTLE_S = 1.2


class ExitWatchTest(WrapperTestCase):
    def play(self, **overrides):
        config = self.config(**overrides)
        return self.run_to_play(config, SLOT, (f"-{config.games[SLOT]}", "-keyx27"))

    def test_a_tap_ends_the_run(self):
        proc = self.play()
        self.press(VK_ESCAPE, TAP_MS)
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, self.details(proc))
        self.assert_exits(proc, EXIT_OK)

    def test_keys_ruskel_types_itself_never_end_the_run(self):
        # The misc sequence types Escape, the exit key, into the emulator.
        proc = self.play(timer="300", misc=tap(VK_ESCAPE))
        got = self.log.wait_for(
            lambda _e: ("up", VK_ESCAPE) in self.log.keys(), EXIT_TIMEOUT_S)
        self.assertTrue(got, "the misc Escape never arrived\n" + self.details(proc))
        time.sleep(SETTLE_S)
        self.assertIsNone(proc.poll(), "ruskel took its own key for the exit key\n" + self.details(proc))
        self.end_with_exit_key(proc)

    def test_a_key_held_as_the_run_starts_does_not_end_it(self):
        # Escape is held down from before ruskel starts until after the walk: the press belongs
        # to whatever came before (the front end, an earlier run), not to this run.
        holder = threading.Thread(target=lambda: self.case.tool("press", str(VK_ESCAPE), "4000",
                                                                timeout_s=20))
        holder.start()
        self.addCleanup(holder.join)
        time.sleep(0.3)
        config = self.config(timer="500", misc=tap(VK_ESCAPE + 5))
        proc = self.start(config, f"-{config.games[SLOT]}", "-keyx27")
        misc_done = self.log.wait_for(
            lambda _e: ("up", VK_ESCAPE + 5) in self.log.keys(), EXIT_TIMEOUT_S)
        self.assertTrue(misc_done, "the run did not reach its misc keys\n" + self.details(proc))
        self.assertIsNone(proc.poll(), "a held key ended the run\n" + self.details(proc))
        holder.join()
        time.sleep(0.5)
        self.assertIsNone(proc.poll(), self.details(proc))
        # Released and pressed again: now it counts.
        self.end_with_exit_key(proc)

    def test_a_key_stuck_down_never_ends_the_run_and_the_first_real_press_does(self):
        # A key-down whose key-up never comes, as Wine loses the key-up when a window goes away
        # under a held key: Escape stays down for the system with no one holding it, so no
        # autorepeat follows.
        self.assertEqual(self.case.tool("down", str(VK_ESCAPE)).returncode, 0)
        self.addCleanup(lambda: self.case.tool("up", str(VK_ESCAPE)))
        proc = self.play()
        time.sleep(STUCK_SETTLE_S)
        self.assertIsNone(proc.poll(), "a stuck key ended the run\n" + self.details(proc))
        # The player's first press, a second after the game has started: its key-down comes while
        # the key is still down for the system.
        self.press(VK_ESCAPE, REAL_PRESS_MS)
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "the first real press was ignored\n" + self.details(proc))
        self.assertEqual(quit_event.fields["reason"], "WM_QUIT", self.details(proc))
        self.assert_exits(proc, EXIT_OK)
