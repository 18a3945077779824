"""Guards for a public cabinet: the player's keys held back during a paced walk, one launch at a
time, and an idle game closed (idleexit)."""

import time

from e2e_testcase import EXIT_OK, EXIT_TIMEOUT_S, START_TIMEOUT_S, WrapperTestCase
from harness import epoch_ms, wait_until
from lconfig import VK_A, VK_DOWN, VK_ESCAPE, VK_M, VK_UP, expected_keys

EXIT_ANOTHER_RUN = 11
SLOT = 12
VK_CONTROL = 17
VK_LCONTROL = 162
# A paced walk of 28 key events, about 4 s: time for a player's four presses.
KEY_DELAY_MS = "150"
PLAYER_KEYS = (VK_UP, VK_A, VK_M, VK_DOWN)
PLAYER_HOLD_MS = 60
# A second launch ends at once; Wine takes a while to start any program.
SECOND_LAUNCH_TIMEOUT_S = 8
IDLE_S = 5
# The close comes idleexit after the walk, give or take a look (0.25 s) and Wine's pace.
IDLE_CLOSE_WINDOW_MS = (5000, 9000)
KEEP_ALIVE_EVERY_S = 2
KEEP_ALIVE_FOR_S = 12


class GuardsTest(WrapperTestCase):
    def paced(self, **options):
        config = self.config(options={"keydelay": KEY_DELAY_MS, "log": "ruskel.log", **options})
        proc = self.start(config, f"-{config.games[SLOT]}", "-keyx27")
        first = self.log.wait_for(lambda _e: self.log.keys(), START_TIMEOUT_S)
        self.assertIsNotNone(first, "the walk did not begin\n" + self.details(proc))
        return config, proc

    def ruskel_log(self) -> str:
        path = self.case.folder / "ruskel.log"
        return path.read_bytes().decode("latin-1") if path.exists() else ""

    def test_the_players_keys_during_a_paced_walk_reach_nothing_and_after_it_they_do(self):
        config, proc = self.paced()
        pressed = [self.press(vk, PLAYER_HOLD_MS) for vk in PLAYER_KEYS]
        self.assert_selected_and_played(proc, config, SLOT)
        last_walk_key = self.log.key_events()[-1].ms
        self.assertLess(max(pressed), last_walk_key,
                        "the player's presses came after the walk: the case proves nothing")
        # Logged as the hold ends, a keydelay after the walk's last key.
        held_back = "4 key presses of the player held back while ruskel typed"
        wait_until(lambda: held_back in self.ruskel_log(), EXIT_TIMEOUT_S)
        self.assertIn(held_back, self.ruskel_log())
        # The hold has ended: the game gets the player's keys.
        walk = len(self.log.keys())
        self.press(VK_A, PLAYER_HOLD_MS)
        got = self.wait_keys(walk + 2, EXIT_TIMEOUT_S)
        self.assertEqual(got[walk:], [("down", VK_A), ("up", VK_A)], self.details(proc))
        self.end_with_exit_key(proc)

    def test_the_exit_key_during_the_walk_ends_the_run(self):
        config, proc = self.paced()
        self.press(VK_ESCAPE, PLAYER_HOLD_MS)
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "the exit key was held back\n" + self.details(proc))
        self.assert_exits(proc, EXIT_OK)
        self.assertLess(len(self.log.keys()), len(expected_keys(config, SLOT)), self.details(proc))

    def test_a_ctrl_held_by_the_panel_is_released_before_the_walk(self):
        # A panel button on left Ctrl, held as the launch begins, would make the walk's Return
        # Ctrl+Return: ruskel lets go of it before its first key. The hold would swallow a press
        # during the start delay, so the Ctrl here stands for one held since before the hold.
        config = self.config(options={"startdelay": "1500", "holdback": "off",
                                      "log": "ruskel.log"})
        proc = self.start(config, f"-{config.games[SLOT]}", "-keyx27")
        self.assertIsNotNone(self.log.wait_event("SHOWN", START_TIMEOUT_S), self.details(proc))
        self.assertEqual(self.case.tool("down", str(VK_LCONTROL)).returncode, 0)
        try:
            play = self.log.wait_event("PLAY", START_TIMEOUT_S)
            self.assertIsNotNone(play, self.details(proc))
            keys = self.log.keys()
            self.assertIn(("up", VK_CONTROL), keys, self.details(proc))
            walk = [key for key in keys if key[1] != VK_CONTROL]
            self.assertEqual(walk, expected_keys(config, SLOT), self.details(proc))
            self.assertLess(keys.index(("up", VK_CONTROL)), keys.index(walk[0]))
            self.assertIn(f"modifier {VK_LCONTROL} was down though ruskel had not pressed it",
                          self.ruskel_log())
        finally:
            self.case.tool("up", str(VK_LCONTROL))
        self.end_with_exit_key(proc)

    def test_a_second_launch_ends_at_once_and_the_first_run_goes_on(self):
        config, proc = self.paced()
        started = epoch_ms()
        second = self.case.spawn(self.case.ruskel, f"-{config.games[SLOT]}", "-keyx27",
                                 name="second")
        code = self.case.wait_exit(second, SECOND_LAUNCH_TIMEOUT_S)
        print(f"\n  second launch ended after {(epoch_ms() - started) / 1000:.2f} s", flush=True)
        self.assertEqual(code, EXIT_ANOTHER_RUN, self.details(proc))
        self.assert_selected_and_played(proc, config, SLOT)
        self.assertEqual(len(self.log.named("START")), 1, "a second emulator\n" + self.details(proc))
        self.assertIn("another ruskel run from this folder is on", self.ruskel_log())
        self.end_with_exit_key(proc)

    def idle_run(self):
        config = self.config(options={"idleexit": str(IDLE_S), "log": "ruskel.log"})
        return config, self.run_to_play(config, SLOT, (f"-{config.games[SLOT]}", "-keyx27"))

    def test_idleexit_closes_an_untouched_game(self):
        _config, proc = self.idle_run()
        walk_done = self.log.key_events()[-1].ms
        quit_event = self.log.wait_event("QUIT", IDLE_S + EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "the idle game stayed\n" + self.details(proc))
        after = quit_event.ms - walk_done
        print(f"\n  idle close {after / 1000:.2f} s after the walk", flush=True)
        low, high = IDLE_CLOSE_WINDOW_MS
        self.assertTrue(low <= after <= high, f"closed {after} ms after the walk")
        self.assertEqual(quit_event.fields.get("reason"), "WM_QUIT", self.details(proc))
        self.assert_exits(proc, EXIT_OK)
        self.assertIn(f"idle close: no key, mouse button or pad button pressed for {IDLE_S} s",
                      self.ruskel_log())

    def test_a_key_every_2_s_keeps_the_game_running(self):
        _config, proc = self.idle_run()
        until = time.monotonic() + KEEP_ALIVE_FOR_S
        while time.monotonic() < until:
            time.sleep(KEEP_ALIVE_EVERY_S)
            self.press(VK_A, PLAYER_HOLD_MS)
            self.assertIsNone(proc.poll(), "closed while played\n" + self.details(proc))
        self.assertEqual(self.log.named("QUIT"), [], self.details(proc))
        self.end_with_exit_key(proc)
