"""Keys reach emulators whatever way they read the keyboard.

The demo emulator reads keys in one of six ways (`--input=`); each run walks its menu to slot 12
(Home, 12 × Down, Return) and checks, from the keys the emulator recognised, that every step
arrived. Readers that know keys by scan code need the scan code and extended flag; readers that
poll once per frame need each key held for a while (`keydelay`).
"""

import time
from pathlib import Path

from e2e_testcase import EXIT_OK, EXIT_TIMEOUT_S, EMULATOR_LIFETIME_MS, WrapperTestCase
from lconfig import VK_DOWN, VK_ESCAPE, expected_keys

SLOT_OF_MYGAME = 12
ALL_MODES = ("messages", "async", "keyboardstate", "dinput", "dinputbuffered", "rawinput")
# The readers that see a key that is down for no time at all.
QUEUED_MODES = ("messages", "dinputbuffered", "rawinput")
RUNS_PER_MODE = 3
KEY_DELAY_MS = "60"
# A walk long enough to be cut short: 2 steps of 60 ms per slot, about 36 s to the end.
LONG_LIST = [f"game{number:03d}" for number in range(400)]
LONG_SLOT = 300
# Steps played before the exit key is pressed in the middle of the long walk.
SELECTS_BEFORE_EXIT = 10
# The exit may catch one step in flight; anything later than this after the exit key is a key
# the wrapper should not have sent.
STEP_IN_FLIGHT_MS = 200


class KeyReadingCase(WrapperTestCase):
    def mode_config(self, mode: str, options=None, *extra: str):
        return self.config(exe=self.emulator_command("--input", mode, *extra),
                           options=dict(options or {}))

    def walk_to_mygame(self, mode: str, options=None) -> None:
        config = self.mode_config(mode, options)
        proc = self.run_to_play(config, SLOT_OF_MYGAME, ("-mygame", "-keyx27"))
        vias = {event.fields.get("via") for event in self.log.key_events()}
        self.assertEqual(vias, {mode}, self.details(proc))
        self.end_with_exit_key(proc)


class DefaultOptionsTest(KeyReadingCase):
    def test_queued_readers_get_every_key(self):
        for mode in QUEUED_MODES:
            with self.subTest(mode=mode):
                self.fresh_case(f"default_{mode}")
                self.walk_to_mygame(mode)


class KeyDelayTest(KeyReadingCase):
    def test_every_reader_gets_every_key_with_keys_held(self):
        for mode in ALL_MODES:
            for run in range(1, RUNS_PER_MODE + 1):
                with self.subTest(mode=mode, run=run):
                    self.fresh_case(f"keydelay_{mode}_{run}")
                    self.walk_to_mygame(mode, {"keydelay": KEY_DELAY_MS})


class ScanCodesOffTest(KeyReadingCase):
    def test_raw_input_sees_scan_code_0_which_is_no_key(self):
        config = self.mode_config("rawinput", {"scancodes": "off"})
        proc = self.start(config, "-mygame", "-keyx27")
        expected = expected_keys(config, SLOT_OF_MYGAME)
        self.wait_keys(len(expected))
        events = self.log.key_events()
        self.assertEqual(len(events), len(expected), self.details(proc))
        self.assertEqual({(e.fields["vk"], e.fields["scan"]) for e in events}, {("0", "0x00")},
                         self.details(proc))
        self.assertEqual([e.name == "KEYDOWN" for e in events],
                         [action == "down" for action, _ in expected], self.details(proc))
        self.assertEqual(self.log.named("SELECT") + self.log.named("PLAY"), [],
                         self.details(proc))
        self.press(VK_ESCAPE)
        self.assert_exits(proc, EXIT_OK)


class ExitDuringWalkTest(KeyReadingCase):
    def test_exit_key_ends_a_long_walk_and_no_key_follows(self):
        games_file = "long_games.txt"
        Path(self.case.folder / games_file).write_text("\r\n".join(LONG_LIST) + "\r\n")
        front_end_title = self.unique_title("Front End")
        self.case.start_demoemu("--title", front_end_title, "--log", "frontend.log",
                                "--lifetime", str(EMULATOR_LIFETIME_MS))
        self.assertEqual(self.case.tool("waitvisible", front_end_title, "15000").returncode, 0)

        config = self.config(exe=self.emulator_command("--games", games_file),
                             games=LONG_LIST, options={"keydelay": KEY_DELAY_MS})
        proc = self.start(config, f"-{LONG_LIST[LONG_SLOT]}", "-keyx27")
        walking = self.log.wait_for(
            lambda _e: len(self.log.named("SELECT")) >= SELECTS_BEFORE_EXIT, 30)
        self.assertIsNotNone(walking, "the walk did not start\n" + self.details(proc))
        self.press(VK_ESCAPE)

        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "emulator not closed\n" + self.details(proc))
        self.assertEqual(quit_event.fields["reason"], "WM_QUIT", self.details(proc))
        self.assert_exits(proc, EXIT_OK)
        self.assertLess(len(self.log.named("SELECT")), LONG_SLOT, self.details(proc))
        self.assertEqual(self.log.named("PLAY"), [], self.details(proc))

        exit_down = next((e for e in self.log.key_events()
                          if e.name == "KEYDOWN" and e.fields["vk"] == str(VK_ESCAPE)), None)
        self.assertIsNotNone(exit_down, "the emulator never saw the exit key\n" + self.details())
        late = [e for e in self.log.key_events() if e.name == "KEYDOWN"
                and e.fields["vk"] == str(VK_DOWN) and e.ms > exit_down.ms + STEP_IN_FLIGHT_MS]
        self.assertEqual(late, [], "keys after the exit\n" + self.details())
        # Nothing typed on after the emulator has gone reaches the window then in front.
        time.sleep(1)
        front_end = self.emulator_log("frontend.log")
        self.assertEqual([e for e in front_end.key_events() if e.fields["vk"] == str(VK_DOWN)],
                         [], front_end.dump())
