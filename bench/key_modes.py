#!/usr/bin/env python3
"""Keys delivered per way of reading the keyboard, and the walk time, side by side.

    bench/key_modes.py [--bin build-win] [--release-exe PATH] [--runs 2]

Figures only. The demo emulator reads keys in one of six ways (`--input=`); each run walks its
menu to mygame (12 x Down, Return: 13 keys) and counts the key-downs it recognised, in order.
This build runs with keydelay=0 and keydelay=60; release 1.0.0 (which knows no options) as it
is. The walk time is the demo log's first key-down to PLAY.
"""

import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

from wine_runs import ROOT, Exe, Run, wait_quiet

sys.path.insert(0, str(ROOT / "bench"))
from exit_watch import RELEASE_1_0_0_COMMIT, release_exe  # noqa: E402
from harness import Binaries, Session  # noqa: E402
from lconfig import demo_games, expected_keys  # noqa: E402

MODES = ("messages", "async", "keyboardstate", "dinput", "dinputbuffered", "rawinput")
ROM = "mygame"
WALK_TIMEOUT_S = 15
QUIET_S = 1.5


def delivered(expected, received) -> int:
    """Expected key-downs found in order among the received ones (a missed one is skipped)."""
    count, at = 0, 0
    for vk in expected:
        found = next((i for i in range(at, len(received)) if received[i] == vk), None)
        if found is not None:
            count += 1
            at = found + 1
    return count


def walk(session: Session, exe: Exe, mode: str, keydelay, index: int):
    options = {} if keydelay is None else {"keydelay": str(keydelay)}
    run = Run(session, exe, f"{mode}-{keydelay}-{index}", [f"-{ROM}", "-keyx27"],
              emulator_args=["--input", mode], startup=[], options=options)
    slot = demo_games().index(ROM)
    expected = [vk for action, vk in expected_keys(run.config, slot) if action == "down"]
    play = run.wait_play(WALK_TIMEOUT_S)
    if play is None:
        wait_quiet(run.log, QUIET_S, WALK_TIMEOUT_S)
    downs = [e for e in run.log.key_events() if e.name == "KEYDOWN"]
    got = delivered(expected, [int(e.fields["vk"]) for e in downs])
    walk_ms = play.ms - downs[0].ms if play is not None and downs else None
    run.finish()
    return got, len(expected), walk_ms


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", type=Path, default=ROOT / "build-win")
    parser.add_argument("--release-exe", type=Path, default=None)
    parser.add_argument("--runs", type=int, default=2)
    args = parser.parse_args()
    build = args.bin.resolve()
    commit = subprocess.run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"],
                            capture_output=True, text=True).stdout.strip()
    old = Exe("1.0.0", release_exe(args.release_exe))
    new = Exe("new", build / "app" / "ruskel.exe")
    columns = [(old, None, f"1.0.0 ({RELEASE_1_0_0_COMMIT})"),
               (new, 0, f"{commit}, keydelay=0"),
               (new, 60, f"{commit}, keydelay=60")]
    bins = Binaries(ruskel=new.path, demoemu=build / "demo" / "demoemu.exe",
                    tool=build / "tests" / "e2e" / "ruskeltest.exe",
                    games=ROOT / "demo" / "games.txt")
    session = Session(bins)
    table = {}
    try:
        session.start()
        for mode in MODES:
            for index in range(args.runs):
                for exe, keydelay, name in columns:
                    result = walk(session, exe, mode, keydelay, index)
                    table.setdefault((mode, name), []).append(result)
                    print(mode, name, result, flush=True)
                    time.sleep(0.2)
    finally:
        session.stop()

    def cell(results):
        got = sum(r[0] for r in results)
        total = sum(r[1] for r in results)
        walks = [r[2] for r in results if r[2] is not None]
        walk_text = f"{statistics.median(walks) / 1000:.2f} s" if walks else "no PLAY"
        return f"{got}/{total}", walk_text

    print()
    print(f"Keys delivered ({args.runs} runs per cell, 13 key-downs a run) and walk time "
          "(first key-down -> PLAY, median)")
    print()
    names = [name for _, _, name in columns]
    print("| reading mode | " + " | ".join(f"{n}: keys, walk" for n in names) + " |")
    print("|---|" + "---|" * len(names))
    for mode in MODES:
        cells = [cell(table[(mode, name)]) for name in names]
        print(f"| {mode} | " + " | ".join(f"{keys}, {walk_s}" for keys, walk_s in cells) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
