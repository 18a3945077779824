"""The Windows platform layer on its own, through platform_probe.exe: the events it delivers
(keys, windows, ended processes), the job that holds started processes, and window lookups.

Wine makes raw input only while some window is in front, so the key cases put a demo emulator
there first, as a run of the wrapper would.
"""

import os
import signal
import struct
import subprocess
import time
from pathlib import Path
from typing import List, Optional

from e2e_testcase import E2ETestCase, session
from emulog import EmulatorLog
from harness import wait_until

VK_F12 = 123  # pressed by the helper, another program
VK_F13 = 124  # sent by the probe itself
VK_DOWN = 40
PROBE_START_S = 20


class ProbeRun:
    """One platform_probe.exe process and the event lines it has printed so far."""

    def __init__(self, case, *args: str):
        self.case = case
        self.name = f"probe-{args[0]}"
        self.proc = case.spawn(session().bins.probe, *args, name=self.name)

    def lines(self) -> List[List[str]]:
        """Each line's words after the timestamp."""
        path = self.case.folder / f"{self.name}.stdout"
        text = path.read_text(errors="replace") if path.exists() else ""
        return [line.split()[1:] for line in text.splitlines() if len(line.split()) > 1]

    def words(self, word: str) -> List[List[str]]:
        return [line for line in self.lines() if line and line[0] == word]

    def wait(self, word: str, timeout_s: float) -> Optional[List[str]]:
        found = wait_until(lambda: self.words(word), timeout_s)
        return found[0] if found else None

    def dump(self) -> str:
        """What the probe printed, Wine's own messages, and whether it still runs: a probe that
        printed nothing may never have started, have crashed, or hang."""
        printed = "\n".join(" ".join(line) for line in self.lines()) or "(nothing printed)"
        err_path = self.case.folder / f"{self.name}.stderr"
        wine = err_path.read_text(errors="replace")[-2000:] if err_path.exists() else ""
        code = self.proc.poll()
        state = "still running" if code is None else f"exited with {code}"
        if code is None:
            state += ", threads: " + self.thread_states()
        return f"{printed}\n[probe {state}; Wine's stderr: {wine.strip() or '(empty)'}]"

    def thread_states(self) -> str:
        """Each Linux thread of the process the suite started: name, state and kernel wait."""
        states = []
        try:
            for task in sorted(Path(f"/proc/{self.proc.pid}/task").iterdir()):
                comm = (task / "comm").read_text().strip()
                stat = (task / "stat").read_text().rsplit(")", 1)[1].split()[0]
                wchan = (task / "wchan").read_text().strip() if (task / "wchan").exists() else "?"
                states.append(f"{comm}:{stat}:{wchan}")
        except OSError as error:
            states.append(str(error))
        return " ".join(states)

    def linux_pid(self, marker: str) -> Optional[int]:
        """The Linux process that runs the probe whose command line holds marker (wine starts
        it through start.exe, so it is not a child of the process the suite started)."""
        def find():
            for entry in Path("/proc").iterdir():
                if not entry.name.isdigit():
                    continue
                try:
                    if not (entry / "comm").read_text().startswith("platform_probe"):
                        continue
                    cmdline = (entry / "cmdline").read_bytes().decode("latin-1")
                    if marker in cmdline.replace("\0", " "):
                        return int(entry.name)
                except OSError:
                    continue
            return None
        return wait_until(find, 10)


class PlatformLayerTest(E2ETestCase):
    def setUp(self):
        if session().bins.probe is None:
            self.skipTest("platform_probe.exe has not been built")
        super().setUp()

    def probe(self, *args: str) -> ProbeRun:
        run = ProbeRun(self.case, *args)
        if args[0] != "titled":
            self.assertIsNotNone(run.wait("READY", PROBE_START_S), run.dump())
        return run

    def emulator(self) -> str:
        title = self.unique_title("Probe Emulator")
        self.case.start_demoemu("--title", title, "--lifetime", "60000")
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        return title

    def emulator_in_front(self) -> str:
        title = self.emulator()
        self.assertEqual(self.case.tool("front", title, "5000").returncode, 0)
        return title

    def test_a_key_from_another_program_arrives_once_each_way(self):
        self.emulator_in_front()
        probe = self.probe("keys", "15000")
        self.assertEqual(self.case.tool("press", str(VK_F12), "5").returncode, 0)
        self.assertIsNotNone(probe.wait("KEYUP", 5), probe.dump())
        keys = [line for line in probe.lines() if line[0] in ("KEYDOWN", "KEYUP")]
        self.assertEqual(keys, [["KEYDOWN", str(VK_F12)], ["KEYUP", str(VK_F12)]], probe.dump())

    def test_keys_it_sends_itself_never_come_back(self):
        self.emulator_in_front()
        probe = self.probe("keys", "15000", str(VK_F13), "10")
        self.assertIsNotNone(probe.wait("SENT", 10), probe.dump())
        # The watch is live: another program's key still arrives after ours.
        self.assertEqual(self.case.tool("press", str(VK_F12), "5").returncode, 0)
        self.assertIsNotNone(probe.wait("KEYUP", 5), probe.dump())
        own = [line for line in probe.lines() if line[1:] == [str(VK_F13)]]
        self.assertEqual(own, [], probe.dump())

    def test_a_new_window_is_reported(self):
        probe = self.probe("windows", "20000")
        self.emulator()
        self.assertIsNotNone(probe.wait("WINDOWS", 5), probe.dump())

    def test_a_started_process_that_ends_is_reported_once(self):
        probe = self.probe("start", "20000", "0", "demoemu.exe", "--no-window", "--lifetime", "800")
        started = probe.words("STARTED")[0]
        self.assertEqual(started[2:], ["running=1", "self=1"], probe.dump())
        # The probe did not come from the process it started.
        self.assertEqual(probe.words("PARENT"), [["PARENT", "0"]], probe.dump())
        self.assertEqual(self.case.wait_exit(probe.proc, 15), 0, probe.dump())
        self.assertEqual(probe.words("ENDED"), [["ENDED", started[1]]], probe.dump())

    def test_a_window_of_a_process_started_through_another_is_of_the_family(self):
        title = self.unique_title("Probe Emulator")
        probe = self.probe("family", "20000", title, "cmd.exe", "/c", "demoemu.exe", "--title",
                           f'"{title}"', "--lifetime", "60000")
        family = probe.wait("FAMILY", 15)
        self.assertEqual(family, ["FAMILY", "other=1", "of_started=1", "of_probe=1",
                                  "of_other=0"], probe.dump())

    def test_windows_titled_match_the_whole_title_in_any_case(self):
        shown = self.emulator()
        # A second window with the same title that is never shown.
        self.case.start_demoemu("--title", shown, "--lifetime", "60000", "--show-after", "60000")
        wait_until(lambda: len(self.titled(shown.lower())) == 2, 15)
        windows = self.titled(shown.lower())
        self.assertEqual(sorted(w.split()[-1] for w in windows), ["visible=0", "visible=1"],
                         windows)
        self.assertEqual(self.titled(shown[:-1]), [])
        self.assertEqual(self.titled(shown + " "), [])

    def titled(self, title: str) -> List[str]:
        done = subprocess.run(["wine", str(session().bins.probe), "titled", title],
                              cwd=self.case.folder, env=session().env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
        return done.stdout.decode("latin-1").split("\r\n")[:-1] if done.stdout else []

    def test_a_normal_end_leaves_a_process_started_to_die_with_it_running(self):
        title = self.unique_title("Probe Emulator")
        probe = self.probe("start", "3000", "1", "demoemu.exe", "--title", f'"{title}"',
                           "--lifetime", "60000")
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        self.assertEqual(self.case.wait_exit(probe.proc, 15), 0, probe.dump())
        self.assertTrue(probe.words("END"), probe.dump())
        # Still there a while later.
        self.assertEqual(self.case.tool("waitgone", title, "1500").returncode, 2)

    def test_killing_it_ends_a_process_started_to_die_with_it_and_only_that(self):
        for kill_with_it, gone in (("1", 0), ("0", 2)):
            with self.subTest(kill_with_ruskel=kill_with_it):
                title = self.unique_title("Probe Emulator")
                probe = self.probe("start", "60000", kill_with_it, "demoemu.exe", "--title",
                                   f'"{title}"', "--lifetime", "60000")
                self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
                pid = probe.linux_pid(title)
                self.assertIsNotNone(pid)
                os.kill(pid, signal.SIGKILL)
                self.case.wait_exit(probe.proc, 10)
                self.assertEqual(self.case.tool("waitgone", title, "5000").returncode, gone)

    def test_ticks_wait_while_a_handler_shows_a_message_box(self):
        probe = self.probe("reentry", "1500")
        time.sleep(0.5)  # ticks pile up behind the box meanwhile
        self.assertEqual(self.case.tool("msgbox", "10000").returncode, 0)
        self.assertEqual(self.case.wait_exit(probe.proc, 15), 0, probe.dump())
        self.assertEqual(probe.words("REENTERED"), [], probe.dump())
        self.assertTrue(probe.words("BOXCLOSED"), probe.dump())
        self.assertTrue(probe.words("END"), probe.dump())

    def test_the_curtain_covers_the_screen_and_takes_neither_focus_nor_keys(self):
        title = self.emulator_in_front()
        log = EmulatorLog(self.case.folder / "demoemu.log")
        uncovered = self.black_share()  # Xvfb's root is black too; the emulator's window is not
        self.probe("curtain", "15000")
        time.sleep(0.5)  # drawn
        covered = self.black_share()
        self.assertLess(uncovered, 0.99)
        self.assertGreater(covered, 0.999)
        self.assertEqual(self.case.tool("foreground").lines, [title])
        self.assertEqual(self.case.tool("press", str(VK_DOWN), "30").returncode, 0)
        self.assertTrue(log.wait_for(lambda e: e.name == "KEYDOWN" and e.fields.get("vk") == "40",
                                     5), log.dump())

    def test_a_message_box_shows_instead_of_the_curtain(self):
        self.emulator_in_front()
        probe = self.probe("curtainbox", "15000")
        self.assertEqual(self.case.tool("waitvisible", "ruskel", "10000").returncode, 0)
        time.sleep(0.5)  # drawn, were it still there
        self.assertLess(self.black_share(), 0.99)
        self.assertEqual(self.case.tool("msgbox", "10000").lines, ["ruskel", "over the curtain"])
        self.assertEqual(self.case.wait_exit(probe.proc, 10), 0, probe.dump())

    def black_share(self) -> float:
        """The share of the screen's pixels that are black."""
        dump = subprocess.run(["xwd", "-root", "-silent", "-display", session().display],
                              stdout=subprocess.PIPE, timeout=30, check=True).stdout
        header = struct.unpack(">25I", dump[:100])
        header_size, width, height = header[0], header[4], header[5]
        bits_per_pixel, bytes_per_line, colours = header[11], header[12], header[19]
        step = bits_per_pixel // 8
        pixels = dump[header_size + colours * 12:]
        black = total = 0
        for y in range(0, height, 8):
            line = pixels[y * bytes_per_line: y * bytes_per_line + width * step]
            for x in range(0, len(line), 8 * step):
                total += 1
                black += int.from_bytes(line[x:x + 3], "little") == 0
        return black / total
