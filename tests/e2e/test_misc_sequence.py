"""The misc sequence: typed once, its delay after the game was started, and never at delay 0."""

import time

from e2e_testcase import WrapperTestCase
from lconfig import VK_A, VK_M, expected_keys, steps, tap

SLOT = 1
DELAY_MS = 2000
# The log shows when the emulator handled a key, which can lag behind when it was typed (more
# so on a loaded machine), so the measured gap may come out a little short of the delay.
HANDLING_SLACK_MS = 250


class MiscSequenceTest(WrapperTestCase):
    def start_playing(self, timer):
        config = self.config(timer=str(timer), misc=tap(VK_M))
        rom = config.games[SLOT]
        return config, self.run_to_play(config, SLOT, (f"-{rom}", "-keyx27"))

    def test_misc_keys_come_after_their_delay(self):
        config, proc = self.start_playing(DELAY_MS)
        enter_done = self.log.named("KEYUP")[-1]
        misc = self.log.wait_for(
            lambda e: e.name == "KEYDOWN" and e.fields.get("vk") == str(VK_M), DELAY_MS / 1000 + 15
        )
        self.assertIsNotNone(misc, "misc keys never came\n" + self.details(proc))
        self.assertGreaterEqual(misc.ms - enter_done.ms, DELAY_MS - HANDLING_SLACK_MS, self.details(proc))
        expected = expected_keys(config, SLOT) + [("down", VK_M), ("up", VK_M)]
        self.assertEqual(self.wait_keys(len(expected)), expected, self.details(proc))
        self.end_with_exit_key(proc)
        self.assertEqual(
            [k for k in self.log.keys() if k[1] == VK_M],
            [("down", VK_M), ("up", VK_M)],
            "misc keys played more than once",
        )

    def test_zero_delay_never_plays_the_misc_keys(self):
        config, proc = self.start_playing(0)
        time.sleep(DELAY_MS / 1000 + 1)
        self.assertEqual(self.log.keys(), expected_keys(config, SLOT), self.details(proc))
        self.end_with_exit_key(proc)

    def test_a_game_section_gives_its_rom_its_own_misc_keys(self):
        config = self.config(timer="0", misc=tap(VK_M))
        rom = config.games[SLOT]
        config.game_sections = {rom.upper(): ["timer=500", *steps("misc", tap(VK_A))]}
        proc = self.run_to_play(config, SLOT, (f"-{rom}.zip", "-keyx27"))
        expected = expected_keys(config, SLOT) + [("down", VK_A), ("up", VK_A)]
        self.assertEqual(self.wait_keys(len(expected)), expected, self.details(proc))
        self.end_with_exit_key(proc)
