"""The emulator's whole life: followed to its end, closed for sure, and no other program touched.

A front end stand-in is a second demo emulator with its own title and log; a stale window is
left by the helper tool from a process that is not the emulator's.
"""

import shutil
import time
from pathlib import Path

from e2e_testcase import (
    EMULATOR_LIFETIME_MS,
    EXIT_EMULATOR_ENDED,
    EXIT_EMULATOR_LEFT_RUNNING,
    EXIT_NOT_LISTED,
    EXIT_OK,
    EXIT_TIMEOUT_S,
    START_TIMEOUT_S,
    WrapperTestCase,
    session,
)
from emulog import EmulatorLog
from harness import epoch_ms, wait_until
from lconfig import VK_ESCAPE, Config

SLOT_OF_MYGAME = 12
# Long enough for the whole dialogue to be over before the emulator quits by itself.
QUIT_AFTER_MS = "4000"
# ruskel must end within a second of the emulator; Wine needs a moment to tear a process down.
FOLLOW_BOUND_S = 1.5
# How long a window that must not be closed is watched after the exit key.
GRACE_S = 1.5
CLOSE_WAIT_MS = 1000
RUN_LOG = "run.log"
# Under Wine a window destroyed on WM_CLOSE takes about 2 s to go.
WM_CLOSE_WAIT_MS = 5000
# Both waits of the close ladder, and the time to end the process at the last.
LADDER_BOUND_S = 2 * CLOSE_WAIT_MS / 1000 + 5


def windows_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


class LifeCase(WrapperTestCase):
    def details(self, proc=None) -> str:
        # A run started through the helper: its output holds ruskel's exit code.
        run = self.case.output_lines("run")
        return super().details(proc) + ("\nhelper run: " + " | ".join(run) if run else "")

    def start_front_end(self) -> EmulatorLog:
        """A window of another program that stands for the front end; returns its log."""
        title = self.unique_title("Front End")
        self.front_end_title = title
        self.case.start_demoemu("--title", title, "--log", "frontend.log",
                                "--lifetime", str(EMULATOR_LIFETIME_MS))
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        return self.emulator_log("frontend.log")

    def play_mygame(self, *extra, options=None, close_mode="title"):
        # ruskel's own account of the run goes into the failure reports.
        options = {"log": RUN_LOG, **(options or {})}
        config = self.config(exe=self.emulator_command(*extra), options=options,
                             close_mode=close_mode)
        return self.run_to_play(config, SLOT_OF_MYGAME, ("-mygame", "-keyx27"))

    def kill_emulator_at_cleanup(self) -> None:
        # An emulator that ignores quit and close outlives its case otherwise.
        self.addCleanup(lambda: self.case.tool("kill", self.title))

    def assert_ends_soon_after(self, proc, event, code: int) -> None:
        remaining = FOLLOW_BOUND_S - (epoch_ms() - event.ms) / 1000
        got = self.case.wait_exit(proc, max(remaining, 0.05))
        self.assertIsNotNone(got, f"ruskel still running {FOLLOW_BOUND_S} s after the emulator "
                                  "quit\n" + self.details(proc))
        self.assertEqual(got, code, self.details(proc))

    def assert_window_survives(self, log: EmulatorLog) -> None:
        time.sleep(GRACE_S)
        self.assertEqual(log.named("QUIT"), [], "another program was closed\n" + log.dump())


class FollowTest(LifeCase):
    def test_emulator_quitting_by_itself_ends_the_run_with_6(self):
        proc = self.play_mygame("--quit-after", QUIT_AFTER_MS)
        quit_event = self.log.wait_event("QUIT", 15)
        self.assertIsNotNone(quit_event, self.details(proc))
        self.assertEqual(quit_event.fields["reason"], "self", self.details(proc))
        self.assert_ends_soon_after(proc, quit_event, EXIT_EMULATOR_ENDED)

    def test_follow_off_keeps_running_until_the_exit_key(self):
        front_end = self.start_front_end()
        proc = self.play_mygame("--quit-after", QUIT_AFTER_MS, options={"follow": "off"})
        self.assertIsNotNone(self.log.wait_event("QUIT", 15), self.details(proc))
        time.sleep(GRACE_S)
        self.assertIsNone(proc.poll(), "ruskel ended with follow=off\n" + self.details(proc))
        # The player is back in the front end when the exit key is pressed.
        self.case.tool("front", self.front_end_title, "5000")
        self.press(VK_ESCAPE)
        self.assertIsNotNone(self.case.wait_exit(proc, EXIT_TIMEOUT_S), self.details(proc))
        self.assert_window_survives(front_end)

    def test_launcher_is_followed_to_the_emulator_it_starts(self):
        # The launcher ends at once; the run goes on with the emulator that owns the window.
        command = " ".join(["demoemu.exe", "--log", "launcher.log", "--launch", "--title",
                            f'"{self.title}"', "--lifetime", str(EMULATOR_LIFETIME_MS),
                            "--quit-after", QUIT_AFTER_MS])
        config = self.config(exe=command)
        proc = self.run_to_play(config, SLOT_OF_MYGAME, ("-mygame", "-keyx27"))
        launcher = self.emulator_log("launcher.log")
        self.assertEqual(launcher.named("QUIT")[0].fields["reason"], "launched", launcher.dump())
        quit_event = self.log.wait_event("QUIT", 15)
        self.assertIsNotNone(quit_event, self.details(proc))
        self.assertEqual(quit_event.fields["reason"], "self", self.details(proc))
        self.assert_ends_soon_after(proc, quit_event, EXIT_EMULATOR_ENDED)


class NullCloseModeTest(LifeCase):
    """Close mode null closes the foreground window only when it is the emulator's."""

    def test_exit_key_after_the_emulator_has_gone_leaves_the_front_end(self):
        for follow in ("on", "off"):
            with self.subTest(follow=follow):
                self.case = self.case.session.new_case(f"null_after_gone_follow_{follow}")
                self.addCleanup(self.case.cleanup)
                self.title = self.unique_title()
                self.log = self.emulator_log()
                front_end = self.start_front_end()
                proc = self.play_mygame("--quit-after", QUIT_AFTER_MS, close_mode="null",
                                        options={"follow": follow})
                self.assertIsNotNone(self.log.wait_event("QUIT", 15), self.details(proc))
                self.case.tool("front", self.front_end_title, "5000")
                self.press(VK_ESCAPE)
                self.assertIsNotNone(self.case.wait_exit(proc, EXIT_TIMEOUT_S),
                                     self.details(proc))
                self.assert_window_survives(front_end)

    def test_front_end_in_front_at_exit_is_left_and_the_emulator_closed(self):
        front_end = self.start_front_end()
        proc = self.play_mygame(close_mode="null")
        self.assertEqual(self.case.tool("front", self.front_end_title, "5000").returncode, 0)
        self.press(VK_ESCAPE)
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "emulator not closed\n" + self.details(proc))
        self.assert_exits(proc, EXIT_OK)
        self.assert_window_survives(front_end)


class CloseLadderTest(LifeCase):
    def stubborn_run(self, terminate: str):
        self.kill_emulator_at_cleanup()
        proc = self.play_mygame("--ignore-quit", "--ignore-close",
                                options={"terminate": terminate, "closewait": str(CLOSE_WAIT_MS)})
        self.press(VK_ESCAPE)
        self.assertIsNotNone(self.log.wait_event("IGNORED", EXIT_TIMEOUT_S), self.details(proc))
        return proc

    def test_stubborn_emulator_is_ended_after_closewait_with_terminate_on(self):
        proc = self.stubborn_run("on")
        self.assert_exits(proc, EXIT_OK, LADDER_BOUND_S)
        self.assertEqual(self.case.tool("waitgone", self.title, "5000").returncode, 0,
                         self.details(proc))
        ignored = [event.details for event in self.log.named("IGNORED")]
        self.assertIn("WM_QUIT", ignored, self.details(proc))
        self.assertIn("WM_CLOSE window=main", ignored, self.details(proc))
        self.assertEqual(self.log.named("QUIT"), [], self.details(proc))

    def test_a_frozen_emulator_never_freezes_ruskel(self):
        # The emulator's only thread stops mid-walk, another window takes the front, the exit
        # key 2.5 s later: ruskel still hears it and ends the frozen emulator.
        proc = self.start(self.config(
            exe=self.emulator_command("--freeze-after", "2"),
            options={"keydelay": "100", "terminate": "on", "closewait": str(CLOSE_WAIT_MS)}),
            f"-{self.config().games[SLOT_OF_MYGAME]}", "-keyx27")
        self.assertIsNotNone(self.log.wait_event("FREEZE", START_TIMEOUT_S), self.details(proc))
        self.case.spawn(session().bins.tool, "pushy", self.unique_title("Busy"), "300",
                        name="pushy")
        self.assertTrue(wait_until(lambda: "released" in self.case.output_lines("pushy"), 10))
        time.sleep(2.5)
        pressed = self.press(VK_ESCAPE)
        self.assert_exits(proc, EXIT_OK, 12)
        self.assertLess(epoch_ms() - pressed, 12000)
        self.assertEqual(self.case.tool("waitgone", self.title, "5000").returncode, 0,
                         self.details(proc))

    def test_stubborn_emulator_left_running_gives_7(self):
        proc = self.stubborn_run("off")
        self.assert_exits(proc, EXIT_EMULATOR_LEFT_RUNNING, LADDER_BOUND_S)
        self.assertEqual(self.case.tool("waitwindow", self.title, "1000").returncode, 0)
        self.assertIn("WM_CLOSE window=main",
                      [event.details for event in self.log.named("IGNORED")], self.details(proc))

    def test_emulator_ignoring_quit_is_closed_with_wm_close(self):
        # Under Wine a window destroyed on WM_CLOSE takes about 2 s to go: wait long enough.
        proc = self.play_mygame("--ignore-quit", options={"closewait": str(WM_CLOSE_WAIT_MS)})
        self.press(VK_ESCAPE)
        quit_event = self.log.wait_event("QUIT", WM_CLOSE_WAIT_MS / 1000 + 5)
        self.assertIsNotNone(quit_event, self.details(proc))
        self.assertEqual(quit_event.fields["reason"], "WM_CLOSE", self.details(proc))
        self.assert_exits(proc, EXIT_OK)

    def test_killing_ruskel_ends_the_emulator_only_with_killwithruskel(self):
        for kill in ("on", "off"):
            with self.subTest(killwithruskel=kill):
                self.case = self.case.session.new_case(f"killwithruskel_{kill}")
                self.addCleanup(self.case.cleanup)
                self.title = self.unique_title()
                self.log = self.emulator_log()
                proc = self.play_mygame(options={"killwithruskel": kill})
                proc.kill()
                proc.wait(EXIT_TIMEOUT_S)
                gone = self.case.tool("waitgone", self.title, "5000").returncode == 0
                self.assertEqual(gone, kill == "on", self.details(proc))


class UnmatchedTitleTest(LifeCase):
    def test_exit_key_closes_the_started_emulator_whose_title_matches_nothing(self):
        # A title guessed wrong: no window ever matches, and the exit must not leave the
        # emulator ruskel started running.
        config = Config(title=self.unique_title("No Such Window"), exe=self.emulator_command(),
                        options={"log": RUN_LOG})
        proc = self.start(config, "-mygame", "-keyx27")
        self.assertEqual(self.case.tool("waitvisible", self.title, "15000").returncode, 0,
                         self.details(proc))
        self.press(VK_ESCAPE)
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "emulator not closed\n" + self.details(proc))
        self.assertEqual(quit_event.fields.get("reason"), "WM_QUIT", self.details(proc))
        self.assert_exits(proc, EXIT_OK)
        self.assertEqual(self.case.tool("waitgone", self.title, "5000").returncode, 0,
                         self.details(proc))
        self.assertIn("(no window matched the window rule)",
                      (self.case.folder / RUN_LOG).read_text(errors="replace"), self.details(proc))


class StaleWindowTest(LifeCase):
    def test_leftover_window_with_the_title_gets_no_keys(self):
        self.case.spawn(self.case.session.bins.tool, "stale-window", self.title, name="stale")
        self.assertEqual(self.case.tool("waitvisible", self.title, "15000").returncode, 0)
        proc = self.play_mygame()
        self.end_with_exit_key(proc)
        stale = self.case.output_lines("stale")
        self.assertTrue(stale and stale[0].startswith("ready"), stale)
        self.assertEqual(stale[1:], [], "the leftover window was typed into or closed")


class ProgramLookupTest(LifeCase):
    def test_folder_with_blanks_never_runs_the_program_beside_it(self):
        decoy = self.case.session.bins.decoy
        if decoy is None:
            self.skipTest("decoy.exe has not been built")
        program_dir = self.case.folder / "my emu dir"
        program_dir.mkdir()
        for name in ("ruskel.exe", "demoemu.exe", "games.txt"):
            shutil.copy2(self.case.folder / name, program_dir / name)
        shutil.copy2(decoy, self.case.folder / "my.exe")
        self.log = EmulatorLog(program_dir / "demoemu.log")
        config = self.config()
        (program_dir / "lconfig.ini").write_bytes(config.text().encode("latin-1"))
        proc = self.case.spawn(program_dir / "ruskel.exe", "-mygame", "-keyx27", name="ruskel")
        self.ruskel_proc = proc
        self.assert_selected_and_played(proc, config, SLOT_OF_MYGAME)
        self.assertFalse((self.case.folder / "DECOY-RAN").exists(), "the decoy ran")
        start = self.log.named("START")[0]
        self.assertIn(f'--title "{self.title}" --lifetime {EMULATOR_LIFETIME_MS} cwd=',
                      start.details)
        self.end_with_exit_key(proc)
        self.assertFalse((self.case.folder / "DECOY-RAN").exists(), "the decoy ran")


class QuotedRomTest(LifeCase):
    def test_quoted_rom_path_selects_the_game(self):
        for arguments in (r'-"C:\roms\mygame.zip" -keyx27', r'"C:\roms\mygame.zip" -keyx27',
                          r'-"C:\my roms\mygame.zip" -keyx27'):
            with self.subTest(arguments=arguments):
                self.case = self.case.session.new_case("quoted_rom")
                self.addCleanup(self.case.cleanup)
                self.title = self.unique_title()
                self.log = self.emulator_log()
                config = self.config()
                self.case.write_config(config.text())
                run = self.case.spawn(self.case.session.bins.tool, "run", "60000",
                                      windows_path(self.case.ruskel), arguments, name="run")
                self.assert_selected_and_played(run, config, SLOT_OF_MYGAME)
                self.press(VK_ESCAPE)
                self.assertIsNotNone(self.case.wait_exit(run, EXIT_TIMEOUT_S), self.details(run))
                # The helper prints ruskel's own exit code last.
                self.assertEqual(self.case.output_lines("run")[-1:], [f"exit {EXIT_OK}"],
                                 self.details(run))


class HiddenWindowTest(LifeCase):
    def test_window_that_is_never_shown_no_longer_blocks_the_run(self):
        # With a rom that is not listed, a run that gets past the window wait closes the
        # emulator by itself; one that waits for the window to be shown never ends.
        config = self.config(exe=self.emulator_command("--hidden"))
        proc = self.start(config, "-nosuchgame", "-keyx27")
        quit_event = self.log.wait_event("QUIT", START_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "the run is still waiting\n" + self.details(proc))
        self.assertEqual(quit_event.fields["reason"], "WM_QUIT", self.details(proc))
        self.assert_exits(proc, EXIT_NOT_LISTED)
