"""Base test cases for the end-to-end suite, and the session they share.

run_e2e.py starts one Session and hands it over with set_session() before loading the tests.
"""

import itertools
import subprocess
import unittest
from typing import List, Optional, Sequence, Tuple

from emulog import EmulatorLog
from harness import Case, Session, epoch_ms
from lconfig import VK_ESCAPE, Config, expected_keys

_session: Optional[Session] = None
_title_numbers = itertools.count(1)

# Bounds of the waits of one case; a passing case never gets near them.
START_TIMEOUT_S = 20
EXIT_TIMEOUT_S = 10
BOX_TIMEOUT_MS = 20000
# Longer than any case, so that a stray emulator ends by itself.
EMULATOR_LIFETIME_MS = 90000

USAGE_TEXT = (
    "Usage: ruskel.exe -romname -exitkeycode .......            This MUST be in that order"
)
CAPTION = "ruskel"
# The names the tests give ruskel's own log (log=): a failure shows what it says.
RUN_LOG_NAMES = ("run.log", "ruskel.log")

EXIT_OK = 0
EXIT_USAGE = 1
EXIT_CONFIG = 2
EXIT_START = 3
EXIT_NOT_LISTED = 4
EXIT_EMULATOR_ENDED = 6
EXIT_EMULATOR_LEFT_RUNNING = 7


def set_session(session: Session) -> None:
    global _session
    _session = session


def session() -> Session:
    if _session is None:
        raise RuntimeError("run the suite through run_e2e.py")
    return _session


class E2ETestCase(unittest.TestCase):
    """A test with its own case folder in the shared Wine session."""

    def setUp(self):
        self.case: Case = session().new_case(self._testMethodName)
        self.addCleanup(self.case.cleanup)

    def unique_title(self, stem: str = "Ruskel Demo") -> str:
        # A title per case, so that a window left over from an earlier case is never found.
        return self.case.own_title(f"{stem} {next(_title_numbers):03d}")

    def emulator_log(self, name: str = "demoemu.log") -> EmulatorLog:
        return EmulatorLog(self.case.folder / name)

    def run_console(self, exe, *args: str, timeout_s: float = 60) -> Tuple[int, str]:
        """Runs a console program in the case folder to its end; its exit code and output."""
        done = subprocess.run(
            ["wine", str(exe), *args],
            cwd=self.case.folder,
            env=session().env,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT,
            timeout=timeout_s,
        )
        return done.returncode, done.stdout.decode("latin-1").replace("\r\n", "\n")


class WrapperTestCase(E2ETestCase):
    """A test that runs ruskel.exe against the demo emulator."""

    def setUp(self):
        if session().bins.ruskel is None:
            self.skipTest("ruskel.exe has not been built")
        super().setUp()
        self.title = self.unique_title()
        self.log = self.emulator_log()
        self.ruskel_proc: Optional[subprocess.Popen] = None

    def fresh_case(self, name: str) -> None:
        """A new case folder, title and log for one more run inside the same test."""
        self.case = session().new_case(name)
        self.addCleanup(self.case.cleanup)
        self.title = self.unique_title()
        self.log = self.emulator_log()

    def emulator_command(self, *extra: str) -> str:
        """The exe line's command: the demo emulator with this case's window title."""
        words = ["demoemu.exe", "--title", f'"{self.title}"', "--lifetime", str(EMULATOR_LIFETIME_MS)]
        return " ".join([*words, *extra])

    def config(self, **overrides) -> Config:
        overrides.setdefault("exe", self.emulator_command())
        return Config(title=self.title, **overrides)

    def start(self, config: Optional[Config], *args: str) -> subprocess.Popen:
        if config is not None:
            self.case.write_config(config.text())
        self.ruskel_proc = self.case.start_ruskel(*args)
        return self.ruskel_proc

    def details(self, proc: Optional[subprocess.Popen] = None) -> str:
        state = ""
        proc = proc or self.ruskel_proc
        if proc is not None:
            code = proc.poll()
            state = "ruskel still running" if code is None else f"ruskel exit code {code}"
        # Wine's own words on ruskel (a start that failed, a crash), when it said any.
        try:
            wine = (self.case.folder / "ruskel.stderr").read_text(errors="replace").strip()
        except FileNotFoundError:
            wine = ""
        wine = f"\nWine on ruskel:\n{wine[-2000:]}" if wine else ""
        run_logs = "".join(f"\nruskel's run log:\n{path.read_text(errors='replace')}"
                           for path in map(self.case.folder.joinpath, RUN_LOG_NAMES)
                           if path.exists())
        return f"{state}\nemulator log:\n{self.log.dump()}{wine}{run_logs}"

    def wait_keys(self, count: int, timeout_s: float = START_TIMEOUT_S) -> List[Tuple[str, int]]:
        """The emulator's key events once `count` of them have arrived (or the wait ran out)."""
        self.log.wait_for(lambda _e: len(self.log.keys()) >= count, timeout_s)
        return self.log.keys()

    def assert_selected_and_played(self, proc, config: Config, slot: int) -> None:
        """Checks that exactly the expected keys arrived, in order, and started the game."""
        expected = expected_keys(config, slot)
        got = self.wait_keys(len(expected))
        self.assertEqual(got, expected, "key events at the emulator\n" + self.details(proc))
        play = self.log.wait_event("PLAY", 5)
        self.assertIsNotNone(play, "no game started\n" + self.details(proc))
        self.assertEqual(play.fields.get("index"), str(slot), self.details(proc))
        self.assertEqual(play.fields.get("name"), config.games[slot], self.details(proc))

    def press(self, vk, hold_ms: int = 150) -> int:
        """Holds a key like a player would; returns the epoch ms of the key-down. vk is a code, or
        "vk:scan[:e]" for a key that carries its scan code and extended flag."""
        result = self.case.tool("press", str(vk), str(hold_ms))
        self.assertEqual(result.returncode, 0, "ruskeltest press failed")
        return int(result.lines[0]) if result.lines else epoch_ms()

    def assert_exits(self, proc, code: int, timeout_s: float = EXIT_TIMEOUT_S) -> None:
        got = self.case.wait_exit(proc, timeout_s)
        self.assertIsNotNone(got, "ruskel did not end\n" + self.details(proc))
        self.assertEqual(got, code, "ruskel exit code\n" + self.details(proc))

    def end_with_exit_key(self, proc, vk: int = VK_ESCAPE) -> None:
        """Presses the exit key; the emulator must get WM_QUIT and ruskel must end with 0."""
        self.press(vk)
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "emulator not closed\n" + self.details(proc))
        self.assertEqual(quit_event.fields.get("reason"), "WM_QUIT", self.details(proc))
        self.assert_exits(proc, EXIT_OK)

    def answer_box(self) -> Tuple[str, str]:
        """Waits for a message box, presses OK; returns its caption and its message."""
        result = self.case.tool("msgbox", str(BOX_TIMEOUT_MS), timeout_s=BOX_TIMEOUT_MS / 1000 + 10)
        if result.returncode != 0:
            windows = "\n".join(self.case.tool("windows").lines)
            self.fail(f"no message box appeared\ntop-level windows:\n{windows}\n{self.details()}")
        self.assertTrue(result.lines, "message box without caption")
        return result.lines[0], "\n".join(result.lines[1:])

    def assert_no_emulator(self) -> None:
        self.assertFalse(self.log.exists(), "the emulator was started:\n" + self.log.dump())

    def run_to_play(self, config: Config, slot: int, args: Sequence[str]) -> subprocess.Popen:
        proc = self.start(config, *args)
        self.assert_selected_and_played(proc, config, slot)
        return proc
