#!/usr/bin/env python3
"""The exit watch and its cost, side by side: this build's ruskel.exe and release 1.0.0's.

    bench/exit_watch.py [--bin build-win] [--release-exe PATH] [--taps 30] [--presses 100]
                        [--stuck 3] [--cpu-s 10] [--only cpu,taps,presses,stuck]

Figures only: nothing here passes or fails. Both exes run in the same Wine session, one run at a
time, against the demo emulator; the table gives both columns and the target.
  - CPU of ruskel.exe's own process (all threads, schedstat) during a window wait in which no
    window ever comes, in the play phase, and in the play phase with -butx4 (no pad attached);
  - exit key-down (ruskeltest's press time) -> WM_QUIT at the demo emulator (its log);
  - taps (key down, 5 ms, key up) and presses (120 ms) of the exit key in the play phase: how many
    end the run; a run that is not ended gets the next try;
  - a key left held: the emulator's window is destroyed while Escape is still down (ruskel closes
    it on the key-down of a long press), then the next run must get as far as its misc keys.
Without --release-exe the 1.0.0 exe is taken from build-release-1.0.0/ and built there first if
missing (bench/build_release_1_0_0.sh).
"""

import argparse
import datetime
import os
import signal
import statistics
import subprocess
import sys
import time
from pathlib import Path

from wine_runs import ROOT, Exe, Run

sys.path.insert(0, str(ROOT / "bench"))
from bench import process_cpu_s  # noqa: E402
from harness import Binaries, Session  # noqa: E402
from emulog import EmulatorLog  # noqa: E402
from lconfig import VK_ESCAPE, VK_M, demo_games, tap  # noqa: E402

RELEASE_1_0_0_COMMIT = "ebb9e45"
SLOT = 1
ROM = f"-{demo_games()[SLOT]}"
TAP_MS = 5
PRESS_MS = 120
# A press this long is still down when ruskel has closed the emulator.
STUCK_PRESS_MS = 600
MISC_AFTER_MS = 1500
# Taken as "the run did not end" when no WM_QUIT comes within this.
QUIT_WAIT_S = 1.0
AFTER_PLAY_S = 0.3
CPU_SETTLE_S = 2.0
# The window wait from its start, and a long one (after its first 10 s ruskel looks once a second).
WAIT_SETTLE_S = {"wait": CPU_SETTLE_S, "longwait": 12.0}
# Trials of one exe in a row before the other exe has its turn, so that load on the machine
# falls on both alike.
BLOCK = 10

TARGETS = {
    "wait": 0.1, "longwait": 0.1, "play": 0.1, "butx": 0.4, "latency": 5.0,
    "idle": 0.4, "idlebutx": 0.4,
}
# idleexit far beyond the measure: the count runs, the close never comes.
IDLE_OPTIONS = {"idleexit": "600"}


def release_exe(given: Path) -> Path:
    if given is not None:
        return given.resolve()
    exe = ROOT / "build-release-1.0.0" / "ruskel.exe"
    if not exe.exists():
        subprocess.run([str(ROOT / "bench" / "build_release_1_0_0.sh"), str(exe.parent)],
                       check=True)
    return exe


def cpu_percent(pid: int, seconds: float) -> float:
    before = process_cpu_s(pid)
    time.sleep(seconds)
    return 100.0 * (process_cpu_s(pid) - before) / seconds


def measure_cpu(session: Session, exe: Exe, phase: str, seconds: float) -> float:
    if phase in WAIT_SETTLE_S:
        # The emulator never opens a window: ruskel waits for a title that never comes.
        settle = WAIT_SETTLE_S[phase]
        run = Run(session, exe, f"cpu-{phase}", ["-mygame", "-keyx27"],
                  emulator_args=["--no-window"], title="Bench Window That Never Comes",
                  lifetime_ms=int((settle + seconds + 5) * 1000))
        time.sleep(settle)
    else:
        args = [ROM, "-keyx27"] + (["-butx4"] if phase in ("butx", "idlebutx") else [])
        options = IDLE_OPTIONS if phase.startswith("idle") else {}
        run = Run(session, exe, f"cpu-{phase}", args, options=options)
        if run.wait_play() is None:
            run.finish()
            return float("nan")
        time.sleep(CPU_SETTLE_S)
    pid = run.windows_pid()
    try:
        return cpu_percent(pid, seconds)
    finally:
        if phase in WAIT_SETTLE_S:
            # Nothing to close: the emulator has no window and ends by itself.
            os.kill(pid, signal.SIGKILL)
        run.finish()


class ExitTrials:
    """Exit-key presses in the play phase, each in a run of its exe that is still going."""

    def __init__(self, session: Session, exe: Exe):
        self.session = session
        self.exe = exe
        self.run = None
        self.ended = 0
        self.tries = 0
        self.latencies = []
        self.broken_runs = 0

    def one(self, hold_ms: int) -> None:
        while self.run is None:
            run = Run(self.session, self.exe, f"exit{self.tries}", [ROM, "-keyx27"])
            if run.wait_play() is None:
                self.broken_runs += 1
                run.finish()
                continue
            time.sleep(AFTER_PLAY_S)
            self.run = run
        self.tries += 1
        down = self.run.press(VK_ESCAPE, hold_ms)
        quit_event = self.run.wait_quit(QUIT_WAIT_S)
        if quit_event is None:
            return
        self.ended += 1
        self.latencies.append(quit_event.ms - down)
        self.close()

    def close(self) -> None:
        if self.run is not None:
            self.run.finish()
            self.run = None


def exit_trials(session, exes, count, hold_ms):
    trials = {exe.label: ExitTrials(session, exe) for exe in exes}
    done = 0
    while done < count:
        block = min(BLOCK, count - done)
        for exe in exes:
            for _ in range(block):
                trials[exe.label].one(hold_ms)
            trials[exe.label].close()
        done += block
    return trials


def stuck_key_trial(session: Session, exe: Exe, index: int) -> dict:
    first = Run(session, exe, f"stuck{index}-first", [ROM, "-keyx27"])
    if first.wait_play() is None:
        first.finish()
        return {"valid": False}
    time.sleep(AFTER_PLAY_S)
    down = first.press(VK_ESCAPE, STUCK_PRESS_MS)
    quit_event = first.wait_quit(2)
    # Only a window destroyed while the key was down makes the test.
    valid = quit_event is not None and quit_event.ms < down + STUCK_PRESS_MS
    first.case.wait_exit(first.proc, 10)
    # Witness: a reader of the asynchronous key state logs Escape as down if it is still held.
    witness_title = first.case.own_title(f"{first.title} witness")
    first.case.start_demoemu("--title", witness_title, "--input", "async", "--log", "witness.log",
                             "--lifetime", "1500")
    time.sleep(2.5)
    witness = EmulatorLog(first.case.folder / "witness.log")
    still_down = any(e.fields.get("vk") == str(VK_ESCAPE) for e in witness.named("KEYDOWN"))
    second = Run(session, exe, f"stuck{index}-next", [ROM, "-keyx27"],
                 timer=str(MISC_AFTER_MS), misc=tap(VK_M))
    misc = second.log.wait_for(
        lambda e: e.name == "KEYDOWN" and e.fields.get("vk") == str(VK_M), 20)
    quit_before = second.quit_event()
    reached = misc is not None and (quit_before is None or quit_before.ms > misc.ms)
    second.finish()
    first.finish()
    return {"valid": valid, "reached_misc": reached, "still_down": still_down}


def fmt_cpu(value):
    return "n/a" if value != value else f"{value:.3f} %"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", type=Path, default=ROOT / "build-win")
    parser.add_argument("--release-exe", type=Path, default=None)
    parser.add_argument("--taps", type=int, default=30)
    parser.add_argument("--presses", type=int, default=100)
    parser.add_argument("--stuck", type=int, default=3)
    parser.add_argument("--cpu-s", type=float, default=10.0)
    parser.add_argument("--only", default="cpu,taps,presses,stuck")
    args = parser.parse_args()
    parts = set(args.only.split(","))
    build = args.bin.resolve()
    commit = subprocess.run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"],
                            capture_output=True, text=True).stdout.strip()
    old = Exe("1.0.0", release_exe(args.release_exe))
    new = Exe("new", build / "app" / "ruskel.exe")
    exes = [old, new]
    bins = Binaries(ruskel=new.path, demoemu=build / "demo" / "demoemu.exe",
                    tool=build / "tests" / "e2e" / "ruskeltest.exe",
                    games=ROOT / "demo" / "games.txt")
    session = Session(bins)
    rows = []
    try:
        session.start()
        if "cpu" in parts:
            for phase, name in (("wait", "CPU, window wait (no window comes), from 2 s"),
                                ("longwait", "CPU, window wait (no window comes), from 12 s"),
                                ("play", "CPU, play phase, no -butx"),
                                ("butx", "CPU, play phase, -butx4, no pad"),
                                ("idle", "CPU, play phase, idleexit=600, no -butx"),
                                ("idlebutx", "CPU, play phase, idleexit=600, -butx4, no pad")):
                got = {exe.label: measure_cpu(session, exe, phase, args.cpu_s) for exe in exes}
                target = TARGETS[phase]
                rows.append((f"{name} ({args.cpu_s:.0f} s, % of a core)", f"<= {target} %",
                             fmt_cpu(got["1.0.0"]), fmt_cpu(got["new"]), got["new"] <= target))
                print("cpu", phase, got, flush=True)
        if "presses" in parts:
            trials = exit_trials(session, exes, args.presses, PRESS_MS)
            lat = {k: t.latencies for k, t in trials.items()}

            def latency(values):
                if not values:
                    return "n/a"
                return f"{statistics.median(values):.0f} ms ({max(values)})"

            rows.append((f"exit key-down -> WM_QUIT, median (max), {PRESS_MS} ms presses",
                         f"median <= {TARGETS['latency']:.0f} ms", latency(lat["1.0.0"]),
                         latency(lat["new"]),
                         bool(lat["new"]) and statistics.median(lat["new"]) <= TARGETS["latency"]))
            missed = {k: t.tries - t.ended for k, t in trials.items()}
            rows.append((f"{PRESS_MS} ms presses missed", "0 of 100",
                         f"{missed['1.0.0']} of {trials['1.0.0'].tries}",
                         f"{missed['new']} of {trials['new'].tries}",
                         missed["new"] == 0 and trials["new"].tries >= 100))
            print("presses", {k: (t.tries, t.ended, t.broken_runs, sorted(t.latencies))
                              for k, t in trials.items()}, flush=True)
        if "taps" in parts:
            trials = exit_trials(session, exes, args.taps, TAP_MS)
            rows.append((f"{TAP_MS} ms taps that end the run", "30 of 30",
                         f"{trials['1.0.0'].ended} of {trials['1.0.0'].tries}",
                         f"{trials['new'].ended} of {trials['new'].tries}",
                         trials["new"].ended == trials["new"].tries >= 30))
            print("taps", {k: (t.tries, t.ended, t.broken_runs) for k, t in trials.items()},
                  flush=True)
        if "stuck" in parts:
            got, witnessed = {}, {}
            for exe in exes:
                results = [stuck_key_trial(session, exe, i) for i in range(args.stuck)]
                print("stuck", exe.label, results, flush=True)
                valid = [r for r in results if r["valid"]]
                got[exe.label] = (sum(r["reached_misc"] for r in valid), len(valid))
                witnessed[exe.label] = sum(r["still_down"] for r in valid)
            rows.append(("next run after Escape was down as the window went: reaches its misc "
                         "keys", "every run", "{} of {}".format(*got["1.0.0"]),
                         "{} of {}".format(*got["new"]),
                         got["new"][1] > 0 and got["new"][0] == got["new"][1]))
            rows.append(("  of these, Escape still down for a GetAsyncKeyState reader afterwards",
                         "(how often the key stuck)", str(witnessed["1.0.0"]),
                         str(witnessed["new"]), True))
    finally:
        session.stop()

    print()
    print(f"ruskel.exe 1.0.0 ({RELEASE_1_0_0_COMMIT}) and this build ({commit}), "
          f"{datetime.date.today().isoformat()}")
    print()
    print(f"| measure | target | 1.0.0 ({RELEASE_1_0_0_COMMIT}) | this build ({commit}) | "
          "target met |")
    print("|---|---|---|---|---|")
    for name, target, old_value, new_value, met in rows:
        print(f"| {name} | {target} | {old_value} | {new_value} | {'yes' if met else 'NO'} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
