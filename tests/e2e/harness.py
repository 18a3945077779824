"""Wine session and per-case folders for the end-to-end suite.

A Session owns one Xvfb display and one fresh WINEPREFIX for a whole run of the suite (booted once
into a template and copied for each later run, when given a template folder). A Case is
one test's own folder (copies of the programs, the games list, its lconfig.ini) plus every
process the test started there. Every wait is bounded; every process is ended by its own id.
"""

import fcntl
import os
import random
import select
import shutil
import signal
import subprocess
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Dict, List, Optional

WINEBOOT_TIMEOUT_S = 240
DESKTOP_TIMEOUT_S = 60
# Longer than any run of the suite; the session ends the holder itself.
DESKTOP_HOLD_MS = 4 * 3600 * 1000
XVFB_START_TIMEOUT_S = 15
TOOL_TIMEOUT_S = 30
# The virtual display: one monitor of this many pixels.
SCREEN_SIZE = (1024, 768)
PROCESS_EXIT_TIMEOUT_S = 10


@dataclass
class Binaries:
    """Paths of the files each case folder receives."""

    ruskel: Optional[Path]
    demoemu: Path
    tool: Path
    games: Path
    decoy: Optional[Path] = None
    probe: Optional[Path] = None  # platform_probe.exe, when built
    check: Optional[Path] = None  # ruskel-check.exe, when the build has it


@dataclass
class ToolResult:
    returncode: int
    lines: List[str]


def wait_until(probe: Callable[[], object], timeout_s: float, poll_s: float = 0.05):
    """Calls probe until it returns something truthy, or timeout_s passes; returns its value."""
    deadline = time.monotonic() + timeout_s
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            return value
        time.sleep(poll_s)


def epoch_ms() -> int:
    return time.time_ns() // 1_000_000


def end_process(proc: subprocess.Popen, timeout_s: float = PROCESS_EXIT_TIMEOUT_S) -> None:
    """Ends a process this suite started, by its id, and reaps it."""
    if proc.poll() is None:
        proc.kill()
    try:
        proc.wait(timeout=timeout_s)
    except subprocess.TimeoutExpired:
        pass


# Wine's own DLLs: over a gigabyte that no program of the suite writes. A copy of the prefix
# links them to the template's files instead of copying them.
SHARED_PREFIX_DIRS = ("drive_c/windows/system32", "drive_c/windows/syswow64",
                      "drive_c/windows/winsxs")


def copy_prefix(template: Path, prefix: Path) -> None:
    """Copies a booted prefix: the DLL folders as hard links, every other file as a real copy."""
    try:
        subprocess.run(["cp", "-al", str(template), str(prefix)], check=True,
                       stderr=subprocess.DEVNULL)
    except subprocess.CalledProcessError:  # another file system: no links
        shutil.rmtree(prefix, ignore_errors=True)
        subprocess.run(["cp", "-a", str(template), str(prefix)], check=True)
        return
    shared = {prefix / folder for folder in SHARED_PREFIX_DIRS}
    for folder, subfolders, files in os.walk(prefix):
        here = Path(folder)
        subfolders[:] = [name for name in subfolders if here / name not in shared]
        for name in files:
            linked = here / name
            if linked.is_symlink():
                continue
            # The registry and the rest: written in place, so each session has its own.
            own = linked.with_name(name + ".own")
            shutil.copy2(linked, own)
            os.replace(own, linked)


class Session:
    """One Xvfb display and one private WINEPREFIX, shared by every case of a run."""

    def __init__(self, bins: Binaries, keep: bool = False, template: Optional[Path] = None):
        self.bins = bins
        self.keep = keep
        self.template = template
        self.root = Path(tempfile.mkdtemp(prefix="ruskel-e2e-"))
        self.prefix = self.root / "prefix"
        self.cases_dir = self.root / "cases"
        self.cases_dir.mkdir()
        self.display = None
        self._xvfb = None
        self._desktop_holder = None
        self._case_count = 0
        self.env = dict(os.environ)
        self.env.update(
            WINEPREFIX=str(self.prefix),
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
        )
        # The session's own display replaces whatever the caller had.
        self.env.pop("WAYLAND_DISPLAY", None)

    def start(self) -> None:
        self._start_xvfb()
        self.env["DISPLAY"] = self.display
        if self.template is None:
            self._boot_prefix()
        else:
            self._prefix_from_template()
            subprocess.run(["wineserver", "-p"], env=self.env, timeout=30, check=True)
        self._hold_desktop()

    def _prefix_from_template(self) -> None:
        # Booting a prefix costs tens of seconds on a busy machine and every module of the suite
        # needs one: boot it once per Wine version and architecture, then copy it. The lock keeps
        # modules run in parallel from booting it twice or copying it half-made.
        stamp_text = self._wine_identity()
        stamp = self.template / ".ruskel-wine"
        self.template.parent.mkdir(parents=True, exist_ok=True)
        with open(self.template.parent / (self.template.name + ".lock"), "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if not (stamp.is_file() and stamp.read_text() == stamp_text):
                shutil.rmtree(self.template, ignore_errors=True)
                self._boot_prefix()
                # Every registry change on disk before the copy: the wineserver writes on exit.
                subprocess.run(["wineserver", "-k"], env=self.env, timeout=30)
                subprocess.run(["wineserver", "-w"], env=self.env, timeout=30)
                building = self.template.with_name(self.template.name + ".new")
                shutil.rmtree(building, ignore_errors=True)
                shutil.move(str(self.prefix), str(building))
                (building / ".ruskel-wine").write_text(stamp_text)
                building.rename(self.template)
            shutil.rmtree(self.prefix, ignore_errors=True)
            copy_prefix(self.template, self.prefix)

    def _wine_identity(self) -> str:
        version = subprocess.run(["wine", "--version"], env=self.env, capture_output=True,
                                 timeout=30).stdout.decode(errors="replace").strip()
        return f"{version} {self.env.get('WINEARCH', 'default')}\n"

    def _boot_prefix(self, attempts: int = 3) -> None:
        # Creating a prefix now and then fails on a busy machine (wineboot exits 1 after a few
        # seconds); a fresh prefix on the next attempt has always come up.
        for attempt in range(1, attempts + 1):
            shutil.rmtree(self.prefix, ignore_errors=True)
            self.prefix.mkdir()
            # A persistent wineserver keeps the prefix warm between cases instead of letting it
            # shut down and boot again for every program the suite starts.
            subprocess.run(["wineserver", "-p"], env=self.env, timeout=30, check=True)
            log = self.root / f"wineboot-{attempt}.log"
            with open(log, "wb") as out:
                done = subprocess.run(["wine", "wineboot", "--init"], env=self.env,
                                      stdout=out, stderr=subprocess.STDOUT,
                                      timeout=WINEBOOT_TIMEOUT_S)
            if done.returncode == 0:
                return
            print(f"wineboot failed (exit {done.returncode}, attempt {attempt}):\n"
                  + log.read_text(errors="replace")[-2000:])
            subprocess.run(["wineserver", "-k"], env=self.env, timeout=30)
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=30)
        raise RuntimeError(f"wineboot failed {attempts} times")

    def _hold_desktop(self, attempts: int = 3) -> None:
        # Keeps Wine's desktop up between cases: otherwise it closes when a case's last program
        # ends, and a program started while it closes or restarts cannot create its windows.
        # On a busy machine the holder has now and then ended at once, before its window was up
        # (1.5 s into a CI run); a second start has come up.
        for attempt in range(1, attempts + 1):
            log = self.root / f"desktop-{attempt}.log"
            with open(log, "wb") as err:
                self._desktop_holder = subprocess.Popen(
                    ["wine", str(self.bins.tool), "hold", str(DESKTOP_HOLD_MS)],
                    env=self.env,
                    stdin=subprocess.DEVNULL,
                    stdout=subprocess.PIPE,
                    stderr=err,
                )
            ready, _, _ = select.select([self._desktop_holder.stdout], [], [], DESKTOP_TIMEOUT_S)
            line = self._desktop_holder.stdout.readline() if ready else b""
            if line.startswith(b"ready"):
                return
            end_process(self._desktop_holder)
            self._desktop_holder.stdout.close()
            print(f"the Wine desktop did not come up (attempt {attempt}, holder exit "
                  f"{self._desktop_holder.returncode}):\n"
                  + log.read_text(errors="replace")[-2000:])
        raise RuntimeError(f"the Wine desktop did not come up {attempts} times")

    def _start_xvfb(self) -> None:
        # Several suites may start at once (ctest -j), so a display counts as ours only when
        # Xvfb's own lock file for it names our Xvfb; a loser of that race exits, and we move on.
        first = random.randrange(100, 900)
        for number in range(first, first + 50):
            if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
                continue
            xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "{}x{}x24".format(*SCREEN_SIZE), "-nolisten",
                 "tcp"],
                stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL,
            )
            if wait_until(lambda: xvfb.poll() is not None or self._xvfb_ready(number, xvfb.pid),
                          XVFB_START_TIMEOUT_S) and xvfb.poll() is None:
                self._xvfb = xvfb
                self.display = f":{number}"
                return
            end_process(xvfb)
        raise RuntimeError("no free X display for Xvfb")

    @staticmethod
    def _xvfb_ready(number: int, pid: int) -> bool:
        try:
            owner = int(Path(f"/tmp/.X{number}-lock").read_text().strip())
        except (OSError, ValueError):
            return False
        return owner == pid and Path(f"/tmp/.X11-unix/X{number}").exists()

    def stop(self) -> None:
        if self._desktop_holder is not None:
            end_process(self._desktop_holder)
            self._desktop_holder.stdout.close()
        if self.prefix.exists():
            try:
                subprocess.run(["wineserver", "-k"], env=self.env, timeout=30)
                subprocess.run(["wineserver", "-w"], env=self.env, timeout=30)
            except subprocess.TimeoutExpired:
                pass
        if self._xvfb is not None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                end_process(self._xvfb)
        if not self.keep:
            shutil.rmtree(self.root, ignore_errors=True)

    def new_case(self, name: str) -> "Case":
        self._case_count += 1
        folder = self.cases_dir / f"{self._case_count:03d}-{name}"
        return Case(self, folder)

    def tool(self, *args: str, cwd: Path, timeout_s: float = TOOL_TIMEOUT_S) -> ToolResult:
        """Runs ruskeltest.exe to its end (bounded) and returns its exit code and stdout lines."""
        try:
            done = subprocess.run(
                ["wine", str(self.bins.tool), *args],
                cwd=cwd,
                env=self.env,
                stdin=subprocess.DEVNULL,
                stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL,
                timeout=timeout_s,
            )
        except subprocess.TimeoutExpired:
            return ToolResult(-1, [])
        text = done.stdout.decode("latin-1").replace("\r\n", "\n")
        return ToolResult(done.returncode, [line for line in text.split("\n") if line])


class Case:
    """One test's folder with its own copies of the programs, and the processes it started."""

    def __init__(self, session: Session, folder: Path):
        self.session = session
        self.folder = folder
        folder.mkdir(parents=True)
        self._procs: List[subprocess.Popen] = []
        self._titles: List[str] = []
        bins = session.bins
        if bins.ruskel is not None:
            shutil.copy2(bins.ruskel, folder / "ruskel.exe")
        shutil.copy2(bins.demoemu, folder / "demoemu.exe")
        shutil.copy2(bins.games, folder / "games.txt")

    @property
    def ruskel(self) -> Path:
        return self.folder / "ruskel.exe"

    def write_config(self, text: str) -> None:
        # Bytes as given: line endings are part of the test.
        (self.folder / "lconfig.ini").write_bytes(text.encode("latin-1"))

    def own_title(self, title: str) -> str:
        """Records a window title this case owns, so that cleanup closes such windows."""
        self._titles.append(title)
        return title

    def spawn(
        self, exe: Path, *args: str, name: str, env: Optional[Dict[str, str]] = None
    ) -> subprocess.Popen:
        """Starts a Windows program in the case folder; Wine's own output goes to files.
        env replaces the session's environment for this program."""
        out = open(self.folder / f"{name}.stdout", "ab")
        err = open(self.folder / f"{name}.stderr", "ab")
        try:
            proc = subprocess.Popen(
                ["wine", str(exe), *args],
                cwd=self.folder,
                env=env if env is not None else self.session.env,
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=err,
            )
        finally:
            out.close()
            err.close()
        self._procs.append(proc)
        return proc

    def start_ruskel(self, *args: str) -> subprocess.Popen:
        return self.spawn(self.ruskel, *args, name="ruskel")

    def start_demoemu(self, *args: str) -> subprocess.Popen:
        return self.spawn(self.folder / "demoemu.exe", *args, name="demoemu")

    def tool(self, *args: str, timeout_s: float = TOOL_TIMEOUT_S) -> ToolResult:
        return self.session.tool(*args, cwd=self.folder, timeout_s=timeout_s)

    def output_lines(self, name: str) -> List[str]:
        """What a program started with spawn(..., name=name) has printed so far."""
        try:
            text = (self.folder / f"{name}.stdout").read_bytes().decode("latin-1")
        except FileNotFoundError:
            return []
        return [line for line in text.replace("\r\n", "\n").split("\n") if line]

    def wait_exit(self, proc: subprocess.Popen, timeout_s: float = PROCESS_EXIT_TIMEOUT_S):
        """Exit code of proc, or None when it is still running after timeout_s."""
        try:
            return proc.wait(timeout=timeout_s)
        except subprocess.TimeoutExpired:
            return None

    def cleanup(self) -> None:
        # Ask the case's windows to close first, so that an emulator started by ruskel (not by
        # us, so not ours to kill) ends cleanly; then end what we started ourselves.
        for title in self._titles:
            self.tool("close", title, timeout_s=15)
        for proc in self._procs:
            end_process(proc)
