"""The shortest walk down a 400-game menu: page keys and wrap-around.

The demo emulator moves 20 lines per Page Down / Page Up (`--page-lines 20`) and wraps Up at the
top to the bottom (`--wrap`); ruskel is told the same with pagekey, pagesize, wrapkey and
pageupkey, and keys are held 60 ms as for an emulator that polls. Each run must start the right
game; the walk times are printed (figures only, never asserted).
"""

from pathlib import Path

from e2e_testcase import WrapperTestCase
from harness import epoch_ms

KEY_DELAY_MS = "60"
LONG_LIST = [f"game{number:03d}" for number in range(400)]
GAMES_FILE = "long_games.txt"
PAGE_LINES = "20"
PAGE_OPTIONS = {"pagekey": "34", "pagesize": PAGE_LINES}
WRAP_OPTIONS = {"wrapkey": "38"}
PAGE_UP_OPTIONS = {"pageupkey": "33"}
# Far beyond any of these walks, even the 12 s one under a loaded Wine.
PLAY_TIMEOUT_S = 40


class WalkTest(WrapperTestCase):
    def walk_to(self, slot: int, options: dict, *demo_switches: str) -> None:
        Path(self.case.folder / GAMES_FILE).write_text("\r\n".join(LONG_LIST) + "\r\n")
        config = self.config(exe=self.emulator_command("--games", GAMES_FILE, *demo_switches),
                             games=LONG_LIST, options={"keydelay": KEY_DELAY_MS, **options})
        started = epoch_ms()
        proc = self.start(config, f"-{LONG_LIST[slot]}", "-keyx27")
        play = self.log.wait_event("PLAY", PLAY_TIMEOUT_S)
        self.assertIsNotNone(play, "no game started\n" + self.details(proc))
        self.assertEqual(play.fields.get("index"), str(slot), self.details(proc))
        self.assertEqual(play.fields.get("name"), LONG_LIST[slot], self.details(proc))
        self.assertEqual(len(self.log.named("PLAY")), 1, self.details(proc))
        first_key = self.log.key_events()[0].ms
        print(f"\n  walk to slot {slot} of 400, {sorted(options)}: first key to PLAY "
              f"{(play.ms - first_key) / 1000:.2f} s, ruskel start to PLAY "
              f"{(play.ms - started) / 1000:.2f} s, {len(self.log.key_events())} key events",
              flush=True)
        self.end_with_exit_key(proc)

    def test_pages_and_wrap_reach_the_top_the_middle_and_the_end(self):
        options = {**PAGE_OPTIONS, **WRAP_OPTIONS, **PAGE_UP_OPTIONS}
        for slot in (0, 299, 399):
            with self.subTest(slot=slot):
                self.fresh_case(f"walk_{slot}")
                self.walk_to(slot, options, "--page-lines", PAGE_LINES, "--wrap")

    def test_slot_300_with_the_page_key(self):
        self.walk_to(300, PAGE_OPTIONS, "--page-lines", PAGE_LINES)

    def test_slot_300_with_wrap_around(self):
        self.walk_to(300, WRAP_OPTIONS, "--wrap")
