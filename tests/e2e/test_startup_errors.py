"""Runs that must stop before any game starts: usage box, broken lconfig.ini, missing emulator."""

import re

from e2e_testcase import (
    CAPTION,
    EXIT_CONFIG,
    EXIT_START,
    EXIT_USAGE,
    USAGE_TEXT,
    WrapperTestCase,
)
from lconfig import join_lines, tap

ARGS = ("-mygame", "-keyx27")


class UsageTest(WrapperTestCase):
    def test_no_arguments_shows_the_usage_box_and_starts_nothing(self):
        proc = self.start(self.config())
        caption, text = self.answer_box()
        self.assertEqual(caption, CAPTION)
        self.assertEqual(text, USAGE_TEXT)
        self.assert_exits(proc, EXIT_USAGE)
        self.assert_no_emulator()

    def test_no_arguments_needs_no_configuration(self):
        proc = self.start(None)
        _, text = self.answer_box()
        self.assertEqual(text, USAGE_TEXT)
        self.assert_exits(proc, EXIT_USAGE)


class ConfigErrorTest(WrapperTestCase):
    def expect_config_error(self, text: str, line: int = 0) -> str:
        """Runs with a broken file: one error box (naming `line` when given), exit 2, no emulator."""
        self.case.write_config(text)
        proc = self.start(None, *ARGS)
        caption, message = self.answer_box()
        self.assertEqual(caption, CAPTION)
        if line:
            self.assertRegex(message, rf"\bline {line}\b")
        self.assert_exits(proc, EXIT_CONFIG)
        self.assert_no_emulator()
        return message

    def broken(self, edit, **overrides):
        """Config lines after `edit(lines)`, which returns the 0-based index of the bad line."""
        lines = self.config(**overrides).lines()
        bad = edit(lines)
        return join_lines(lines), bad + 1

    def test_missing_file(self):
        proc = self.start(None, *ARGS)
        caption, message = self.answer_box()
        self.assertEqual(caption, CAPTION)
        self.assertIn("lconfig.ini", message.lower())
        self.assert_exits(proc, EXIT_CONFIG)
        self.assert_no_emulator()

    def test_third_handle_line(self):
        def edit(lines):
            at = lines.index("{/handles}")
            lines.insert(at, "extra")
            return at

        self.expect_config_error(*self.broken(edit))

    def test_step_line_without_slash(self):
        def edit(lines):
            at = lines.index("{startup}") + 1
            lines[at] = "36down"
            return at

        self.expect_config_error(*self.broken(edit))

    def test_blank_line_inside_a_sequence(self):
        def edit(lines):
            at = lines.index("{selectsequence}") + 1
            lines.insert(at, "")
            return at

        self.expect_config_error(*self.broken(edit))

    def test_sequence_with_21_steps(self):
        # Twenty steps fit (the closing tag takes the last slot); the 21st pushes the tag out.
        steps = (tap(13) * 11)[:21]
        text, line = self.broken(lambda lines: lines.index("{/entersequence}"), enter=steps)
        self.expect_config_error(text, line)

    def test_game_list_with_401_names(self):
        games = [f"game{i:03d}" for i in range(401)]
        text, line = self.broken(lambda lines: lines.index("{/gamelist}"), games=games)
        self.expect_config_error(text, line)

    def test_delay_that_is_not_a_number(self):
        def edit(lines):
            at = lines.index("timer=0")
            lines[at] = "timer=soon"
            return at

        self.expect_config_error(*self.broken(edit))

    def test_delay_line_without_equals(self):
        def edit(lines):
            at = lines.index("timer=0")
            lines[at] = "timer 500"
            return at

        self.expect_config_error(*self.broken(edit))

    def test_exe_line_without_equals(self):
        def edit(lines):
            at = len(lines) - 1
            lines[at] = "exe demoemu.exe"
            return at

        self.expect_config_error(*self.broken(edit))

    def test_delay_above_timer_range(self):
        self.expect_config_error(self.config(timer="70000").text())

    def test_capitalised_timer_line_is_not_the_delay(self):
        lines = self.config(timer="500").lines()
        lines[lines.index("timer=500")] = "Timer=500"
        self.expect_config_error(join_lines(lines))

    def test_missing_game_list(self):
        lines = self.config().lines()
        start, end = lines.index("{gamelist}"), lines.index("{/gamelist}")
        del lines[start : end + 1]
        self.expect_config_error(join_lines(lines))

    def test_empty_file(self):
        self.expect_config_error("")


class EmulatorStartTest(WrapperTestCase):
    def test_missing_emulator_program_is_reported_with_its_command_line(self):
        proc = self.start(self.config(exe="nosuch.exe -fullscreen"), *ARGS)
        caption, message = self.answer_box()
        self.assertEqual(caption, CAPTION)
        self.assertIn("nosuch.exe", message)
        # The command line is the program folder, a backslash and the configured command.
        self.assertTrue(re.search(r"\\nosuch\.exe -fullscreen", message), message)
        self.assert_exits(proc, EXIT_START)
        self.assert_no_emulator()
