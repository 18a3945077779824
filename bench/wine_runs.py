"""One ruskel run against the demo emulator under Wine, for the side-by-side benchmarks.

Each run has its own case folder of the e2e harness with a copy of the ruskel.exe under test, so
two builds can be measured in the same Wine session, one run at a time (two runs at once would
both see every key).
"""

import itertools
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Optional, Sequence

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from emulog import EmulatorLog, Event  # noqa: E402
from harness import Session, end_process, epoch_ms, wait_until  # noqa: E402
from lconfig import VK_ESCAPE, Config  # noqa: E402

# Longer than any run; a stray emulator ends by itself.
EMULATOR_LIFETIME_MS = 120000
PLAY_TIMEOUT_S = 30
EXIT_TIMEOUT_S = 10

_titles = itertools.count(1)


@dataclass
class Exe:
    """A ruskel.exe under test and the name its column carries."""

    label: str
    path: Path


class Run:
    """ruskel.exe started in a fresh case folder with its own lconfig.ini."""

    def __init__(self, session: Session, exe: Exe, name: str, args: Sequence[str],
                 emulator_args: Sequence[str] = (), title: Optional[str] = None,
                 lifetime_ms: int = EMULATOR_LIFETIME_MS, **config):
        self.case = session.new_case(f"{exe.label}-{name}")
        shutil.copy2(exe.path, self.case.ruskel)
        self.title = self.case.own_title(f"Bench Emulator {next(_titles):04d}")
        words = ["demoemu.exe", "--title", f'"{self.title}"', "--lifetime",
                 str(lifetime_ms), *emulator_args]
        config.setdefault("exe", " ".join(words))
        self.config = Config(title=title or self.title, **config)
        self.case.write_config(self.config.text())
        self.proc: subprocess.Popen = self.case.start_ruskel(*args)
        self.log = EmulatorLog(self.case.folder / "demoemu.log")

    def wait_play(self, timeout_s: float = PLAY_TIMEOUT_S) -> Optional[Event]:
        return self.log.wait_event("PLAY", timeout_s)

    def press(self, vk: int, hold_ms: int) -> int:
        """Key down, hold_ms, key up from another program; epoch ms of the key-down."""
        # Under load Wine now and then fails to start the helper at all; it is started again.
        for _ in range(3):
            result = self.case.tool("press", str(vk), str(hold_ms))
            if result.lines and result.lines[0].isdigit():
                return int(result.lines[0])
            print(f"press failed: {result.returncode} {result.lines}", file=sys.stderr)
            time.sleep(0.5)
        raise RuntimeError("ruskeltest press would not run")

    def quit_event(self) -> Optional[Event]:
        return next(iter(self.log.named("QUIT")), None)

    def wait_quit(self, timeout_s: float) -> Optional[Event]:
        return self.log.wait_event("QUIT", timeout_s)

    def windows_pid(self) -> int:
        """The Linux process that runs this case's ruskel.exe (Wine starts it apart from the
        process we spawned, which only waits for it)."""
        marker = f"\\{self.case.folder.name}\\ruskel.exe"

        def find():
            for entry in Path("/proc").iterdir():
                if not entry.name.isdigit():
                    continue
                try:
                    if (entry / "comm").read_text().strip() != "ruskel.exe":
                        continue
                    cmdline = (entry / "cmdline").read_bytes().decode("latin-1")
                except OSError:
                    continue
                if marker in cmdline:
                    return int(entry.name)
            return None

        pid = wait_until(find, 30)  # a busy machine starts Wine programs slowly
        if pid is None:
            raise RuntimeError(f"ruskel.exe of {self.case.folder.name} not found")
        return pid

    def running(self) -> bool:
        return self.proc.poll() is None

    def finish(self) -> None:
        """Ends the run with the exit key if it is still going, then cleans the folder up."""
        if self.running() and self.quit_event() is None:
            for _ in range(2):
                self.press(VK_ESCAPE, 120)
                if self.wait_quit(2):
                    break
        self.case.wait_exit(self.proc, EXIT_TIMEOUT_S)
        self.case.cleanup()
        end_process(self.proc)


def wait_quiet(log: EmulatorLog, quiet_s: float, timeout_s: float) -> None:
    """Waits until the log has not grown for quiet_s (or timeout_s has passed)."""
    deadline = time.monotonic() + timeout_s
    last_size, last_change = -1, time.monotonic()
    while time.monotonic() < deadline:
        size = len(log.events())
        if size != last_size:
            last_size, last_change = size, time.monotonic()
        elif time.monotonic() - last_change >= quiet_s:
            return
        time.sleep(0.1)

