#!/usr/bin/env python3
"""Measures the Windows platform layer's event delivery under Wine, through platform_probe.exe.

    bench/platform_events.py [--bin build-win] [--taps 30] [--idle-s 10]

Figures only: nothing here passes or fails on speed.
  - CPU of an idle message loop watching keys and windows (all threads, from /proc);
  - CPU of the loop reading joystick 0 and XInput pad 0 every 50 ms, with no pad attached;
  - quick taps (key down, 5 ms, key up) from another program: how many arrive as events, and
    the delay from the helper's key-down to the probe's event.
"""

import argparse
import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import Binaries, Session, wait_until  # noqa: E402

VK_F12 = 123


def process_cpu_s(pid: int) -> float:
    total_ns = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        total_ns += int((task / "schedstat").read_text().split()[0])
    return total_ns / 1e9


def probe_pid(marker: str) -> int:
    """The Linux process of the probe whose command line holds marker."""
    def find():
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                comm = (entry / "comm").read_text()
                cmdline = (entry / "cmdline").read_bytes().decode("latin-1").replace("\0", " ")
                if comm.startswith("platform_probe") and marker in cmdline:
                    return int(entry.name)
            except OSError:
                continue
        return None
    pid = wait_until(find, 20)
    if pid is None:
        raise RuntimeError("probe process not found")
    return pid


def probe_lines(case, name: str):
    path = case.folder / f"{name}.stdout"
    text = path.read_text(errors="replace") if path.exists() else ""
    return [line.split() for line in text.splitlines() if len(line.split()) > 1]


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", type=Path, default=ROOT / "build-win")
    parser.add_argument("--taps", type=int, default=30)
    parser.add_argument("--idle-s", type=float, default=10.0)
    args = parser.parse_args()
    build = args.bin.resolve()
    bins = Binaries(ruskel=None, demoemu=build / "demo" / "demoemu.exe",
                    tool=build / "tests" / "e2e" / "ruskeltest.exe",
                    games=ROOT / "demo" / "games.txt",
                    probe=build / "tests" / "e2e" / "platform_probe.exe")
    session = Session(bins)
    try:
        session.start()
        case = session.new_case("platform-events")
        # Wine makes raw input only while some window is in front, as the emulator's is in a run.
        case.start_demoemu("--title", case.own_title("Bench Front"), "--lifetime", "600000")
        case.tool("waitvisible", "Bench Front", "15000")
        case.tool("front", "Bench Front", "5000")

        def loop_cpu(command: str) -> float:
            run_ms = int(args.idle_s * 1000) + 8000
            case.spawn(bins.probe, command, str(run_ms), name=command)
            pid = probe_pid(f"{command} {run_ms}")
            wait_until(lambda: any(line[1] == "READY" for line in probe_lines(case, command)), 20)
            time.sleep(2)  # past start-up
            before = process_cpu_s(pid)
            time.sleep(args.idle_s)
            return 100.0 * (process_cpu_s(pid) - before) / args.idle_s

        idle_cpu = loop_cpu("idle")
        pads_cpu = loop_cpu("pads")

        case.spawn(bins.probe, "keys", "600000", name="keys")
        wait_until(lambda: any(line[1] == "READY" for line in probe_lines(case, "keys")), 20)
        downs_at = []
        for _ in range(args.taps):
            result = case.tool("press", str(VK_F12), "5")
            downs_at.append(int(result.lines[-1]))
        time.sleep(1)
        events = probe_lines(case, "keys")
        got_down = [int(line[0]) for line in events if line[1:] == ["KEYDOWN", str(VK_F12)]]
        got_up = [line for line in events if line[1:] == ["KEYUP", str(VK_F12)]]
        delays = [got - sent for sent, got in zip(downs_at, got_down)]

        print(f"idle loop, keys and windows watched: {idle_cpu:.3f} % of a core over "
              f"{args.idle_s:.0f} s")
        print(f"pads read every 50 ms, none attached: {pads_cpu:.3f} % of a core")
        print(f"taps of 5 ms from another program: {len(got_down)} of {args.taps} key-downs, "
              f"{len(got_up)} of {args.taps} key-ups")
        if delays:
            print(f"key-down -> event: median {statistics.median(delays):.1f} ms, "
                  f"max {max(delays)} ms")
        for proc in case._procs:
            proc.kill()
    finally:
        session.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
