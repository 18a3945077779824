#!/usr/bin/env python3
"""Launch time with fixed delays beside the same walk with waits, against a splash of 1 to 4 s.

    bench/launch_time.py [--bin build-win] [--runs 2] [--splash 1000,2000,3000,4000]

Figures only. The demo emulator shows a splash for --splash ms after its window appears and
loses every key typed before its menu is up (its log says LOST). ruskel walks to slot 12 of the
demo's games (Home, 12 x Down, Return) in two ways:

- fixed: `startdelay` = the splash plus a margin (0, 250, 500 or 1000 ms), as an owner tunes it
  by hand; the smallest margin that lost no key in any run is the "safe" fixed delay;
- checked: no delay; `wait pixel 615,23 00C850` (the menu's ready mark) before the first key,
  and `wait title - {game}` after Return, which confirms that the game started.

Per cell: runs that lost a key, runs that started the right game, ruskel's own "launch time"
from its log (the emulator's start to the end of the enter sequence: for the checked walk, the
game confirmed by its title), and ruskel's start to the demo's PLAY (the game started), medians.
"""

import argparse
import re
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from typing import List, Optional, Tuple

from wine_runs import ROOT, Exe, Run
from harness import Binaries, Session, epoch_ms  # noqa: E402  (on the path wine_runs sets)
from lconfig import VK_DOWN, VK_HOME, VK_RETURN, demo_games, tap  # noqa: E402

SLOT = 12
MARGINS_MS = (0, 250, 500, 1000)
READY_MARK = "wait pixel 615,23 00C850"  # the demo menu's green mark, drawn once it reads keys
GAME_TITLE = "wait title - {game}"
LAUNCH_TIME = re.compile(r"launch time (\d+) ms")


class Result:
    def __init__(self, lost: int, right: bool, launch_s: Optional[float],
                 play_s: Optional[float]):
        self.lost, self.right, self.launch_s, self.play_s = lost, right, launch_s, play_s


def one_run(session: Session, exe: Exe, splash_ms: int, margin_ms: Optional[int],
            index: int) -> Result:
    checked = margin_ms is None
    options = {"log": "ruskel.log", "match": "prefix"}
    startup = tap(VK_HOME)
    enter = tap(VK_RETURN)
    if checked:
        startup = [READY_MARK] + startup
        enter = enter + [GAME_TITLE]
    else:
        options["startdelay"] = str(splash_ms + margin_ms)
    name = f"launch-{splash_ms}-{'checked' if checked else margin_ms}-{index}"
    run = Run(session, exe, name, [f"-{demo_games()[SLOT]}", "-keyx27"],
              emulator_args=["--splash", str(splash_ms), "--game-title"],
              startup=startup, select=tap(VK_DOWN), enter=enter, options=options)
    started = epoch_ms()  # Run has just started ruskel.exe, its last step
    play = run.wait_play(splash_ms / 1000 + 20)
    if play is not None and checked:
        time.sleep(0.5)  # the title wait ends the enter sequence a look after PLAY
    launch = None
    try:
        found = LAUNCH_TIME.search((run.case.folder / "ruskel.log").read_text(errors="replace"))
        launch = int(found.group(1)) / 1000 if found else None
    except OSError:
        pass
    result = Result(len(run.log.named("LOST")),
                    play is not None and play.fields.get("index") == str(SLOT),
                    launch, (play.ms - started) / 1000 if play else None)
    run.finish()
    print(name, vars(result), flush=True)
    return result


def median(values: List[Optional[float]]) -> str:
    present = [v for v in values if v is not None]
    return f"{statistics.median(present):.2f} s" if present else "-"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", type=Path, default=ROOT / "build-win")
    parser.add_argument("--runs", type=int, default=2)
    parser.add_argument("--splash", default="1000,2000,3000,4000")
    args = parser.parse_args()
    build = args.bin.resolve()
    splashes = [int(ms) for ms in args.splash.split(",")]
    commit = subprocess.run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"],
                            capture_output=True, text=True).stdout.strip()
    exe = Exe("launch", build / "app" / "ruskel.exe")
    ways: List[Tuple[str, Optional[int]]] = [(f"startdelay=splash+{m}", m) for m in MARGINS_MS]
    ways.append(("checked: wait pixel, wait title", None))
    table = {}
    with tempfile.TemporaryDirectory() as folder:
        games = Path(folder) / "games.txt"
        games.write_text("\r\n".join(demo_games()) + "\r\n")
        bins = Binaries(ruskel=exe.path, demoemu=build / "demo" / "demoemu.exe",
                        tool=build / "tests" / "e2e" / "ruskeltest.exe", games=games)
        session = Session(bins)
        try:
            session.start()
            for splash in splashes:
                for label, margin in ways:
                    for index in range(args.runs):
                        table.setdefault((splash, label), []).append(
                            one_run(session, exe, splash, margin, index))
                        time.sleep(0.2)
        finally:
            session.stop()

    print()
    print(f"Launch to slot 12 behind a splash, {commit} ({args.runs} run(s) per cell, median)")
    print()
    print("| splash | walk | runs that lost keys | right game | launch time (log) | "
          "ruskel start -> PLAY |")
    print("|---|---|---|---|---|---|")
    for splash in splashes:
        safe = None
        for label, margin in ways:
            results = table[(splash, label)]
            lossy = sum(1 for r in results if r.lost > 0)
            right = sum(1 for r in results if r.right)
            if margin is not None and safe is None and lossy == 0 and right == len(results):
                safe = label
            print(f"| {splash / 1000:.0f} s | {label} | {lossy}/{len(results)} | "
                  f"{right}/{len(results)} | {median([r.launch_s for r in results])} | "
                  f"{median([r.play_s for r in results])} |")
        print(f"| {splash / 1000:.0f} s | safe fixed delay: {safe or 'none of these'} | | | | |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
