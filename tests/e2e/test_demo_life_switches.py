"""The demo emulator's switches for the end of its life, checked with the helper tool alone."""

import shutil

from e2e_testcase import E2ETestCase
from harness import wait_until

LIFETIME = "30000"


class LifeSwitchTest(E2ETestCase):
    def start_emulator(self, *args, visible=True):
        title = self.unique_title()
        proc = self.case.start_demoemu("--title", title, "--lifetime", LIFETIME, *args)
        wait = "waitvisible" if visible else "waitwindow"
        log = self.emulator_log()
        self.assertEqual(self.case.tool(wait, title, "15000").returncode, 0, log.dump())
        return title, proc, log

    def test_quit_after_ends_the_emulator_by_itself(self):
        title, proc, log = self.start_emulator("--quit-after=1000")
        quit_event = log.wait_event("QUIT", 10)
        self.assertIsNotNone(quit_event, log.dump())
        self.assertEqual(quit_event.fields["reason"], "self")
        self.assertEqual(self.case.wait_exit(proc), 0)
        self.assertEqual(self.case.tool("waitgone", title, "5000").returncode, 0)

    def test_ignore_quit_swallows_wm_quit_but_not_wm_close(self):
        title, proc, log = self.start_emulator("--ignore-quit")
        self.assertEqual(self.case.tool("quit", title).returncode, 0)
        self.assertIsNotNone(log.wait_event("IGNORED", 10), log.dump())
        self.assertEqual(log.named("IGNORED")[0].details, "WM_QUIT")
        self.assertIsNone(proc.poll(), log.dump())
        self.assertEqual(self.case.tool("close", title).lines, ["1"])
        quit_event = log.wait_event("QUIT", 10)
        self.assertIsNotNone(quit_event, log.dump())
        self.assertEqual(quit_event.fields["reason"], "WM_CLOSE")
        self.assertEqual(self.case.wait_exit(proc), 0)

    def test_ignore_close_and_quit_leaves_only_the_process_to_be_ended(self):
        title, proc, log = self.start_emulator("--ignore-quit", "--ignore-close")
        self.case.tool("close", title)
        self.case.tool("quit", title)
        log.wait_for(lambda _e: len(log.named("IGNORED")) >= 2, 10)
        self.assertEqual([e.details for e in log.named("IGNORED")],
                         ["WM_CLOSE window=main", "WM_QUIT"], log.dump())
        self.assertIsNone(proc.poll(), log.dump())
        self.assertEqual(self.case.tool("kill", title).lines, ["1"])
        self.assertIsNotNone(self.case.wait_exit(proc))
        self.assertEqual(log.named("QUIT"), [], log.dump())

    def test_hidden_window_is_never_shown(self):
        title, _, log = self.start_emulator("--hidden", visible=False)
        self.assertEqual(self.case.tool("waitvisible", title, "1500").returncode, 2, log.dump())
        self.assertEqual(log.named("WINDOW")[0].fields["visible"], "0")
        self.assertEqual(log.named("SHOWN"), [], log.dump())

    def test_minimized_window_is_logged_as_such(self):
        _, _, log = self.start_emulator("--minimized")
        self.assertEqual(log.named("WINDOW")[0].fields.get("minimized"), "1", log.dump())

    def test_two_windows_close_one_at_a_time(self):
        title, proc, log = self.start_emulator("--two-windows")
        second = self.case.own_title(title + " Tools")
        self.assertEqual(self.case.tool("waitvisible", second, "5000").returncode, 0, log.dump())
        self.assertEqual(self.case.tool("foreground").lines, [title])
        self.assertEqual(self.case.tool("close", second).lines, ["1"])
        self.assertIsNotNone(log.wait_event("CLOSED", 10), log.dump())
        self.assertIsNone(proc.poll(), log.dump())
        self.case.tool("close", title)
        self.assertEqual(log.wait_event("QUIT", 10).fields["reason"], "WM_CLOSE", log.dump())

    def test_launcher_starts_a_copy_and_leaves_at_once(self):
        title = self.unique_title()
        launcher = self.case.start_demoemu(
            "--log", "launcher.log", "--launch", "--title", title, "--lifetime", LIFETIME
        )
        self.assertEqual(self.case.wait_exit(launcher), 0)
        launcher_log = self.emulator_log("launcher.log")
        self.assertTrue(launcher_log.named("LAUNCH"), launcher_log.dump())
        self.assertEqual(launcher_log.named("WINDOW"), [], launcher_log.dump())
        self.assertEqual(launcher_log.named("QUIT")[0].fields["reason"], "launched")
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        log = self.emulator_log()
        start = log.wait_event("START", 5)
        self.assertIsNotNone(start, log.dump())
        self.assertIn(f'--title "{title}" --lifetime {LIFETIME}', start.details)
        self.assertEqual(log.named("ARG"), [], log.dump())


class HelperProgramTest(E2ETestCase):
    def test_stale_window_reports_keys_and_ignores_quit_and_close(self):
        title = self.unique_title("Stale")
        self.case.spawn(self.case.session.bins.tool, "stale-window", title, name="stale")
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        self.case.tool("quit", title)
        self.case.tool("close", title)
        self.assertEqual(self.case.tool("type", title, "5000", "20", "0", "40:0x50:e").returncode, 0)
        lines = wait_lines(self.case, "stale", 5)
        self.assertTrue(lines[0].startswith("ready pid="), lines)
        self.assertEqual(sorted(lines[1:]), ["ignored WM_CLOSE", "ignored WM_QUIT",
                                             "keydown vk=40", "keyup vk=40"])
        self.assertEqual(self.case.tool("waitgone", title, "300").returncode, 2)

    def test_decoy_leaves_its_marker(self):
        decoy = self.case.session.bins.decoy
        if decoy is None:
            self.skipTest("decoy.exe has not been built")
        shutil.copy2(decoy, self.case.folder / "my.exe")
        proc = self.case.spawn(self.case.folder / "my.exe", name="decoy")
        self.assertEqual(self.case.wait_exit(proc, 15), 0)
        self.assertTrue((self.case.folder / "DECOY-RAN").exists())

    def test_run_passes_the_argument_text_unchanged(self):
        text = '-"C:\\roms\\my game.zip" -keyx27'
        result = self.case.tool("run", "15000", str(self.case.folder / "demoemu.exe"),
                                f"--no-window --lifetime 10 {text}")
        self.assertEqual(result.lines[-1:], ["exit 0"], result.lines)
        start = self.emulator_log().named("START")[0]
        self.assertIn(f"--lifetime 10 {text} cwd=", start.details)


def wait_lines(case, name, count):
    return wait_until(lambda: len(case.output_lines(name)) >= count and case.output_lines(name),
                      10) or case.output_lines(name)
