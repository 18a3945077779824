"""The demo emulator and the helper tool on their own, without the wrapper.

These prove the harness: if they fail, the wrapper tests cannot be trusted either.
"""

from e2e_testcase import E2ETestCase, USAGE_TEXT
from harness import epoch_ms
from lconfig import VK_DOWN, VK_RETURN, demo_games

LIFETIME = "30000"


class DemoEmulatorTest(E2ETestCase):
    def start_emulator(self, *args):
        title = self.unique_title()
        proc = self.case.start_demoemu("--title", title, "--lifetime", LIFETIME, *args)
        return title, proc

    def test_keys_move_the_selection_and_return_starts_the_game(self):
        title, proc = self.start_emulator()
        log = self.emulator_log()
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        result = self.case.tool("keys", title, "5000", str(VK_DOWN), str(VK_DOWN), str(VK_RETURN))
        self.assertEqual(result.returncode, 0, "could not bring the emulator to the front")

        play = log.wait_event("PLAY", 10)
        self.assertIsNotNone(play, log.dump())
        self.assertEqual(play.fields["index"], "2")
        self.assertEqual(play.fields["name"], demo_games()[2])
        # Return's key-up is logged just after PLAY.
        log.wait_for(lambda _e: len(log.keys()) >= 6, 5)
        self.assertEqual(
            log.keys(),
            [("down", 40), ("up", 40), ("down", 40), ("up", 40), ("down", 13), ("up", 13)],
        )
        self.assertEqual([e.fields["index"] for e in log.named("SELECT")], ["1", "2"])

        self.assertEqual(self.case.tool("close", title).lines, ["1"])
        quit_event = log.wait_event("QUIT", 10)
        self.assertIsNotNone(quit_event, log.dump())
        self.assertEqual(quit_event.fields["reason"], "WM_CLOSE")
        self.assertEqual(self.case.wait_exit(proc), 0)

    def window_lines(self, window_class: str):
        """The `windows` lines of top-level windows of that class: visible, class, pid, title."""
        return [line for line in self.case.tool("windows").lines
                if line.split(" ")[1:2] == [window_class]]

    def test_window_class_and_a_title_suffix_once_a_game_plays(self):
        title, _ = self.start_emulator("--window-class", "RuskelSuffixClass",
                                       "--title-suffix", " - playing")
        playing = self.case.own_title(title + " - playing")
        log = self.emulator_log()
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        lines = self.window_lines("RuskelSuffixClass")
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].endswith(f'"{title}"'), lines)
        self.assertEqual(self.case.tool("keys", title, "5000", str(VK_RETURN)).returncode, 0)
        renamed = log.wait_event("TITLE", 10)
        self.assertIsNotNone(renamed, log.dump())
        self.assertEqual(renamed.details, f"text={playing}")
        self.assertEqual(self.case.tool("waitvisible", playing, "5000").returncode, 0)

    def test_no_title_leaves_the_main_window_untitled(self):
        self.start_emulator("--no-title", "--window-class", "RuskelUntitledClass")
        log = self.emulator_log()
        self.assertIsNotNone(log.wait_event("SHOWN", 15), log.dump())
        lines = self.window_lines("RuskelUntitledClass")
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith("1 ") and lines[0].endswith(' ""'), lines)

    def test_posted_wm_quit_ends_the_emulator(self):
        title, proc = self.start_emulator()
        log = self.emulator_log()
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        self.assertEqual(self.case.tool("quit", title).returncode, 0)
        quit_event = log.wait_event("QUIT", 10)
        self.assertIsNotNone(quit_event, log.dump())
        self.assertEqual(quit_event.fields["reason"], "WM_QUIT")
        self.assertEqual(self.case.wait_exit(proc), 0)

    def test_log_records_start_window_and_focus(self):
        before = epoch_ms()
        title, _ = self.start_emulator("--bogus")
        log = self.emulator_log()
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        self.assertIsNotNone(log.wait_event("FOCUS", 10), log.dump())
        start = log.named("START")[0]
        self.assertIn("--bogus", start.details)
        self.assertIn(" cwd=", start.details)
        # The log's clock is the host's wall clock, so tests may compare the two.
        self.assertLessEqual(before - 2000, start.ms)
        self.assertLessEqual(start.ms, epoch_ms() + 2000)
        self.assertEqual(log.named("ARG")[0].fields["unknown"], "--bogus")
        self.assertEqual(log.named("WINDOW")[0].fields["visible"], "1")
        self.assertTrue(log.named("ACTIVATE"), log.dump())
        self.assertEqual(self.case.tool("foreground").lines, [title])

    def test_show_after_creates_the_window_hidden_then_shows_it(self):
        title, _ = self.start_emulator("--show-after", "500")
        log = self.emulator_log()
        self.assertEqual(self.case.tool("waitwindow", title, "15000").returncode, 0)
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0)
        shown = log.wait_event("SHOWN", 10)
        self.assertIsNotNone(shown, log.dump())
        window = log.named("WINDOW")[0]
        self.assertEqual(window.fields["visible"], "0")
        self.assertGreaterEqual(shown.ms - window.ms, 500 - 20, log.dump())

    def test_no_window_runs_until_its_lifetime_ends(self):
        proc = self.case.start_demoemu("--no-window", "--lifetime", "1000")
        self.assertEqual(self.case.wait_exit(proc, 15), 0)
        log = self.emulator_log()
        self.assertEqual(log.named("WINDOW"), [], log.dump())
        self.assertEqual(log.named("QUIT")[0].fields["reason"], "lifetime")


class HelperToolTest(E2ETestCase):
    def test_message_box_reader_returns_caption_and_text_and_presses_ok(self):
        box = self.case.spawn(
            self.session_tool(), "showbox", "ruskel", USAGE_TEXT, name="showbox"
        )
        result = self.case.tool("msgbox", "15000")
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.lines, ["ruskel", USAGE_TEXT])
        self.assertEqual(self.case.wait_exit(box), 0)

    def test_message_box_reader_times_out_when_there_is_none(self):
        self.assertEqual(self.case.tool("msgbox", "300").returncode, 2)

    def session_tool(self):
        return self.case.session.bins.tool

