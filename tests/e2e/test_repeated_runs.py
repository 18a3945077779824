"""The typical run, again and again: no key may ever be lost."""

from e2e_testcase import WrapperTestCase
from harness import end_process

RUNS = 20
SLOT = 12


class RepeatedRunTest(WrapperTestCase):
    def test_twenty_runs_in_a_row_lose_no_key(self):
        for run in range(RUNS):
            with self.subTest(run=run):
                # A log per run, so that each run is judged on its own events.
                self.log = self.emulator_log(f"run{run:02d}.log")
                exe = self.emulator_command("--log", f"run{run:02d}.log")
                config = self.config(exe=exe)
                proc = self.start(config, "-mygame", "-keyx27")
                try:
                    self.assert_selected_and_played(proc, config, SLOT)
                    self.end_with_exit_key(proc)
                finally:
                    # A failed run must not leave its wrapper behind to disturb the next one.
                    end_process(proc)
                    self.case.tool("close", self.title)
                self.assertEqual(self.case.tool("waitgone", self.title, "10000").returncode, 0)
