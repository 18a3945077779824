#!/usr/bin/env python3
"""Measures the real ruskel.exe under Wine on a virtual display and prints a table.

    bench/bench.py [--bin build-win] [--runs 50] [--latency-runs 20]

Figures only: nothing here passes or fails on speed.
  - CPU of ruskel.exe's own process (all threads, from /proc) over 5 s of window wait and
    5 s of play phase;
  - window shown -> first key, and exit-key press -> emulator quit (demo emulator timestamps);
  - keys delivered over many runs;
  - exe size and imported DLLs.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from emulog import EmulatorLog  # noqa: E402
from harness import Binaries, Session, end_process  # noqa: E402
from lconfig import Config, demo_games, expected_keys  # noqa: E402

CLK_TCK = os.sysconf("SC_CLK_TCK")
PHASE_S = 5.0
TITLE = "Bench Emulator"


def process_cpu_s(pid: int) -> float:
    """CPU time of all the process's threads: nanoseconds from schedstat where the kernel has
    it, else utime+stime in clock ticks (10 ms steps)."""
    try:
        total_ns = 0
        for task in Path(f"/proc/{pid}/task").iterdir():
            total_ns += int((task / "schedstat").read_text().split()[0])
        return total_ns / 1e9
    except (OSError, ValueError, IndexError):
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / CLK_TCK  # utime, stime


def ruskel_pid(proc: subprocess.Popen) -> int:
    """The Linux process that runs ruskel.exe (wine may hand over to a child)."""
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                if (entry / "comm").read_text().strip() != "ruskel.exe":
                    continue
                stat = (entry / "stat").read_text().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if int(entry.name) == proc.pid or int(stat[1]) == proc.pid:
                return int(entry.name)
        time.sleep(0.05)
    raise RuntimeError("ruskel.exe process not found")


def cpu_percent(pid: int, seconds: float) -> float:
    before = process_cpu_s(pid)
    time.sleep(seconds)
    return 100.0 * (process_cpu_s(pid) - before) / seconds


def press_exit(case) -> int:
    result = case.tool("press", "27", "120")
    return int(result.lines[-1]) if result.lines else 0


def measure_cpu(session: Session):
    case = session.new_case("cpu")
    config = Config(title=case.own_title(TITLE), exe="demoemu.exe --show-after 8000 "
                    f"--title \"{TITLE}\"")
    case.write_config(config.text())
    proc = case.start_ruskel("-mygame", "-keyx27")
    pid = ruskel_pid(proc)
    log = EmulatorLog(case.folder / "demoemu.log")
    log.wait_event("START", 20)
    time.sleep(1.0)
    wait_cpu = cpu_percent(pid, PHASE_S)
    log.wait_event("PLAY", 20)
    time.sleep(0.5)
    play_cpu = cpu_percent(pid, PHASE_S)
    press_exit(case)
    case.wait_exit(proc, 10)
    case.cleanup()
    return wait_cpu, play_cpu


def one_run(session: Session, index: int):
    case = session.new_case(f"run{index}")
    config = Config(title=case.own_title(TITLE), exe=f"demoemu.exe --title \"{TITLE}\"")
    case.write_config(config.text())
    slot = demo_games().index("mygame")
    proc = case.start_ruskel("-mygame", "-keyx27")
    log = EmulatorLog(case.folder / "demoemu.log")
    play = log.wait_event("PLAY", 30)
    expected = expected_keys(config, slot)
    time.sleep(0.2)
    pressed = press_exit(case)
    quit_event = log.wait_event("QUIT", 10)
    case.wait_exit(proc, 10)
    events = log.events()
    shown = next((e.ms for e in events if e.name in ("SHOWN", "ACTIVATE")), None)
    first_key = next((e.ms for e in events if e.name == "KEYDOWN"), None)
    received = [k for k in log.keys() if not (k[1] == 27)]
    result = {
        "expected": len(expected),
        "delivered": sum(1 for a, b in zip(expected, received) if a == b) if play else 0,
        "window_to_key": first_key - shown if shown and first_key else None,
        "exit_to_quit": quit_event.ms - pressed if quit_event and pressed else None,
    }
    case.cleanup()
    end_process(proc)
    return result


def imports(exe: Path):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], capture_output=True,
                         text=True).stdout
    return [line.split(":", 1)[1].strip() for line in out.splitlines() if "DLL Name:" in line]


def row(name, value, target):
    print(f"| {name} | {value} | {target} |")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", type=Path, default=ROOT / "build-win")
    parser.add_argument("--runs", type=int, default=50)
    parser.add_argument("--latency-runs", type=int, default=20)
    args = parser.parse_args()
    bins = Binaries(ruskel=args.bin / "app" / "ruskel.exe",
                    demoemu=args.bin / "demo" / "demoemu.exe",
                    tool=args.bin / "tests" / "e2e" / "ruskeltest.exe",
                    games=ROOT / "demo" / "games.txt")
    session = Session(bins)
    session.start()
    try:
        wait_cpu, play_cpu = measure_cpu(session)
        runs = [one_run(session, i) for i in range(args.runs)]
    finally:
        session.stop()

    latency = runs[: args.latency_runs]
    w2k = [r["window_to_key"] for r in latency if r["window_to_key"] is not None]
    e2q = [r["exit_to_quit"] for r in latency if r["exit_to_quit"] is not None]
    expected = sum(r["expected"] for r in runs)
    delivered = sum(r["delivered"] for r in runs)
    size = bins.ruskel.stat().st_size

    print("| measure | result | target |")
    print("|---|---|---|")
    row("CPU, 5 s window wait", f"{wait_cpu:.2f} % of a core", "<= 1 %")
    row("CPU, 5 s play phase", f"{play_cpu:.2f} % of a core", "<= 1 %")
    if w2k:
        row(f"window shown -> first key ({len(w2k)} runs)",
            f"median {statistics.median(w2k):.0f} ms, max {max(w2k)} ms", "median <= 50 ms")
    if e2q:
        row(f"exit key pressed -> emulator quit ({len(e2q)} runs)",
            f"median {statistics.median(e2q):.0f} ms, max {max(e2q)} ms", "median <= 30 ms")
    row(f"keys delivered ({len(runs)} runs)", f"{delivered} of {expected}", "0 lost")
    row("ruskel.exe size", f"{size / 1024:.0f} KB", "<= 400 KB")
    row("ruskel.exe imports", ", ".join(imports(bins.ruskel)), "system DLLs only")


if __name__ == "__main__":
    main()
