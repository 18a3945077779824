#!/usr/bin/env python3
"""What the window lookup costs in the window wait, per `match=` way, with other windows open.

    bench/window_match.py [--bin build-win] [--foreign 8] [--cpu-s 10]

Figures only: nothing here passes or fails. ruskel.exe waits for an emulator that never opens a
window; meanwhile --foreign demo emulator windows of other processes are open, as a front end's
and the desktop's would be. `title`, `prefix` and `contains` read each window's title; `own`
also asks which process made each visible window and whether ruskel started it, so its cost is
the one that grows with the windows open. CPU is ruskel.exe's own (all threads, schedstat),
from 2 s into the wait and from 12 s (after 10 s the lookup runs once a second).
"""

import argparse
import datetime
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

from wine_runs import ROOT, Exe, Run

sys.path.insert(0, str(ROOT / "bench"))
from bench import process_cpu_s  # noqa: E402
from harness import Binaries, Session  # noqa: E402

# Seconds into the wait at which measuring starts: the first 10 s, and after them.
SETTLES_S = (2.0, 12.0)
WINDOW_UP_MS = 20000


def cpu_percent(pid: int, seconds: float) -> float:
    before = process_cpu_s(pid)
    time.sleep(seconds)
    return 100.0 * (process_cpu_s(pid) - before) / seconds


def wait_cpu(session: Session, exe: Exe, match: str, settle_s: float, seconds: float) -> float:
    run = Run(session, exe, f"{match}-{settle_s:.0f}", ["-mygame", "-keyx27"],
              emulator_args=["--no-window"], title="Bench Window That Never Comes",
              lifetime_ms=int((settle_s + seconds + 5) * 1000), options={"match": match})
    time.sleep(settle_s)
    pid = run.windows_pid()
    try:
        return cpu_percent(pid, seconds)
    finally:
        # Nothing to close: the emulator has no window and ends by itself.
        os.kill(pid, signal.SIGKILL)
        run.finish()


def open_foreign_windows(session: Session, count: int, lifetime_ms: int):
    case = session.new_case("foreign")
    for index in range(count):
        title = case.own_title(f"Bench Foreign Window {index:02d}")
        case.start_demoemu("--title", title, "--lifetime", str(lifetime_ms), "--log",
                           f"foreign{index}.log")
        case.tool("waitvisible", title, str(WINDOW_UP_MS))
    return case


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", type=Path, default=ROOT / "build-win")
    parser.add_argument("--foreign", type=int, default=8)
    parser.add_argument("--cpu-s", type=float, default=10.0)
    args = parser.parse_args()
    build = args.bin.resolve()
    commit = subprocess.run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"],
                            capture_output=True, text=True).stdout.strip()
    exe = Exe("new", build / "app" / "ruskel.exe")
    bins = Binaries(ruskel=exe.path, demoemu=build / "demo" / "demoemu.exe",
                    tool=build / "tests" / "e2e" / "ruskeltest.exe",
                    games=ROOT / "demo" / "games.txt")
    session = Session(bins)
    modes = ("title", "contains", "own")
    figures = {}
    try:
        session.start()
        for foreign in (0, args.foreign):
            one_run_s = max(SETTLES_S) + args.cpu_s + 10
            case = (open_foreign_windows(session, foreign,
                                         int(one_run_s * len(modes) * len(SETTLES_S) * 1000))
                    if foreign else None)
            for match in modes:
                for settle_s in SETTLES_S:
                    value = wait_cpu(session, exe, match, settle_s, args.cpu_s)
                    figures[(foreign, match, settle_s)] = value
                    print("cpu", foreign, match, settle_s, f"{value:.3f}", flush=True)
            if case is not None:
                case.cleanup()
    finally:
        session.stop()

    print()
    print(f"ruskel.exe {commit}, window wait, % of a core over {args.cpu_s:.0f} s, "
          f"{datetime.date.today().isoformat()}")
    print()
    print("| match | other windows | from 2 s | from 12 s |")
    print("|---|---|---|---|")
    for foreign in (0, args.foreign):
        for match in modes:
            early, late = (figures[(foreign, match, s)] for s in SETTLES_S)
            print(f"| {match} | {foreign} | {early:.3f} % | {late:.3f} % |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
