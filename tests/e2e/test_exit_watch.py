"""The exit key as input events: taps, ruskel's own keys, and a key left held by a run."""

import threading
import time

from e2e_testcase import EXIT_OK, EXIT_TIMEOUT_S, WrapperTestCase
from lconfig import VK_ESCAPE, tap

SLOT = 3
TAP_MS = 5
# Long enough for the misc keys to be typed and looked at.
SETTLE_S = 1.5


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
