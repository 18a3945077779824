#!/usr/bin/env python3
"""The menu walk's time down a 400-game list: today's walk beside the shortest.

    bench/walk_time.py [--bin build-win] [--runs 1]

Figures only. The demo emulator lists 400 games, moves 20 lines per Page Down / Page Up
(`--page-lines 20`) and wraps Up at the top to the bottom (`--wrap`); ruskel holds each key 60 ms
(`keydelay=60`) and walks to slots 300 and 399 with no walk options (today's walk, the select
sequence once per line), with `pagekey`, with `wrapkey` alone, and with all four walk options.
The walk time is the demo log's first key-down to PLAY; "start to PLAY" counts from ruskel's
start, so it includes the emulator's start and the window wait.
"""

import argparse
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from wine_runs import ROOT, Exe, Run
from harness import Binaries, Session, epoch_ms  # noqa: E402  (on the path wine_runs sets)

GAMES = [f"game{number:03d}" for number in range(400)]
SLOTS = (300, 399)
WALKS = (
    ("today: select per line", {}),
    ("pagekey=34, pagesize=20", {"pagekey": "34", "pagesize": "20"}),
    ("wrapkey=38", {"wrapkey": "38"}),
    ("all four walk options", {"pagekey": "34", "pagesize": "20", "wrapkey": "38",
                               "pageupkey": "33"}),
)
# Today's walk to slot 399 takes 48 s.
PLAY_TIMEOUT_S = 90


def walk(session: Session, exe: Exe, slot: int, name: str, options: dict, index: int):
    run = Run(session, exe, f"walk-{slot}-{len(options)}-{index}", [f"-{GAMES[slot]}", "-keyx27"],
              emulator_args=["--page-lines", "20", "--wrap"], games=GAMES,
              options={"keydelay": "60", **options})
    started = epoch_ms()  # Run has just started ruskel.exe, its last step
    play = run.wait_play(PLAY_TIMEOUT_S)
    keys = run.log.key_events()
    right = play is not None and play.fields.get("index") == str(slot)
    result = ((play.ms - keys[0].ms) / 1000 if play and keys else None,
              (play.ms - started) / 1000 if play else None, right)
    run.finish()
    print(slot, name, result, flush=True)
    return result


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", type=Path, default=ROOT / "build-win")
    parser.add_argument("--runs", type=int, default=1)
    args = parser.parse_args()
    build = args.bin.resolve()
    commit = subprocess.run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"],
                            capture_output=True, text=True).stdout.strip()
    exe = Exe("walk", build / "app" / "ruskel.exe")
    with tempfile.TemporaryDirectory() as folder:
        games = Path(folder) / "games.txt"
        games.write_text("\r\n".join(GAMES) + "\r\n")
        bins = Binaries(ruskel=exe.path, demoemu=build / "demo" / "demoemu.exe",
                        tool=build / "tests" / "e2e" / "ruskeltest.exe", games=games)
        session = Session(bins)
        table = {}
        try:
            session.start()
            for slot in SLOTS:
                for name, options in WALKS:
                    for index in range(args.runs):
                        table.setdefault((slot, name), []).append(
                            walk(session, exe, slot, name, options, index))
                        time.sleep(0.2)
        finally:
            session.stop()

    def cell(results, at):
        times = [r[at] for r in results if r[at] is not None]
        return f"{statistics.median(times):.2f} s" if times else "no PLAY"

    print()
    print(f"Walk to slot 300 and 399 of 400, keydelay=60, {commit} ({args.runs} run(s) per cell, "
          "median)")
    print()
    print("| walk | slot | first key -> PLAY | ruskel start -> PLAY | right game |")
    print("|---|---|---|---|---|")
    for name, _ in WALKS:
        for slot in SLOTS:
            results = table[(slot, name)]
            right = sum(1 for r in results if r[2])
            print(f"| {name} | {slot} | {cell(results, 0)} | {cell(results, 1)} | "
                  f"{right}/{len(results)} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
