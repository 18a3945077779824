"""The mouse pointer out of sight: cursor=park parks it at the edge of the emulator's screen
during the run and puts it back at the end.

cursor=hide has no case here: Wine's SetSystemCursor is a stub that changes no cursor, so there
is nothing to see. The unit tests on the fake platform cover it on every end of a run."""

from e2e_testcase import WrapperTestCase
from harness import SCREEN_SIZE, wait_until

SLOT = 3
BEFORE = (300, 200)
# A bound: the position read from another process may lag a move for a moment under load.
SETTLE_S = 5


class PointerTest(WrapperTestCase):
    def pointer(self):
        result = self.case.tool("pointer")
        self.assertEqual(result.returncode, 0, "ruskeltest pointer failed")
        x, y = result.lines[0].split()
        return int(x), int(y)

    def assert_pointer_at(self, point, message=""):
        wait_until(lambda: self.pointer() == point, SETTLE_S, poll_s=0.2)
        self.assertEqual(self.pointer(), point, message)

    def test_park_moves_the_pointer_to_the_right_edge_and_back(self):
        self.assertEqual(self.case.tool("movepointer", *map(str, BEFORE)).returncode, 0)
        self.assert_pointer_at(BEFORE)
        config = self.config(options={"cursor": "park", "log": "ruskel.log"})
        proc = self.run_to_play(config, SLOT, (f"-{config.games[SLOT]}", "-keyx27"))
        # The middle of the right edge of the one monitor.
        width, height = SCREEN_SIZE
        parked = (width - 1, height // 2)
        self.assert_pointer_at(parked, self.details(proc))
        self.end_with_exit_key(proc)
        log = (self.case.folder / "ruskel.log").read_text(errors="replace")
        self.assert_pointer_at(BEFORE, log)
        self.assertIn("pointer parked at {},{} (it was at {},{})".format(*parked, *BEFORE), log)
        self.assertIn("pointer put back at {},{}".format(*BEFORE), log)
