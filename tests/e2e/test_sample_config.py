"""The sample lconfig.ini shipped with the demo emulator drives it as it says it does."""

import unittest
from pathlib import Path

from e2e_testcase import EXIT_TIMEOUT_S, WrapperTestCase
from lconfig import VK_SHIFT, demo_games

SAMPLE = Path(__file__).resolve().parents[2] / "demo" / "lconfig.ini"
SAMPLE_TITLE = "Ruskel Demo Emulator"


class SampleConfigTest(WrapperTestCase):
    def test_sample_starts_mygame_then_taps_shift(self):
        self.case.own_title(SAMPLE_TITLE)
        self.case.write_config(SAMPLE.read_bytes().decode("latin-1"))
        proc = self.start(None, "-mygame", "-keyx27")
        slot = demo_games().index("mygame")
        expected = [("down", 40), ("up", 40)] * slot + [("down", 13), ("up", 13)]
        expected += [("down", VK_SHIFT), ("up", VK_SHIFT)]
        # The sample's misc delay is a couple of seconds.
        self.assertEqual(self.wait_keys(len(expected), 30), expected, self.details(proc))
        play = self.log.named("PLAY")
        self.assertEqual([e.fields["name"] for e in play], ["mygame"], self.details(proc))
        self.end_with_exit_key(proc)
        gone = self.case.tool("waitgone", SAMPLE_TITLE, str(EXIT_TIMEOUT_S * 1000))
        self.assertEqual(gone.returncode, 0)


class SampleFileTest(unittest.TestCase):
    def test_sample_lists_the_demo_games_in_order_with_cr_lf_endings(self):
        raw = SAMPLE.read_bytes()
        self.assertNotIn(b"\n", raw.replace(b"\r\n", b""), "a line ending other than CR LF")
        lines = raw.decode("latin-1").split("\r\n")
        games = lines[lines.index("{gamelist}") + 1 : lines.index("{/gamelist}")]
        self.assertEqual(games, demo_games())
        self.assertEqual([line for line in lines if line.startswith("exe")], ["exe=demoemu.exe --splash 1500 --game-title"])
        self.assertEqual([line for line in lines if line.startswith("timer")], ["timer=2000"])
