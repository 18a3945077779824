"""Runs that must stop before any game starts: usage box, broken lconfig.ini, missing emulator.

Which broken files are refused, and the message for each, is proved by the unit tests of the
reader; these cases prove that such a message reaches the user in a box, and the exit codes."""

import re

from e2e_testcase import (
    CAPTION,
    EXIT_CONFIG,
    EXIT_START,
    EXIT_USAGE,
    USAGE_TEXT,
    WrapperTestCase,
)
from lconfig import join_lines

ARGS = ("-mygame", "-keyx27")


class UsageTest(WrapperTestCase):
    def test_no_arguments_shows_the_usage_box_and_starts_nothing(self):
        proc = self.start(self.config())
        caption, text = self.answer_box()
        self.assertEqual(caption, CAPTION)
        self.assertEqual(text, USAGE_TEXT)
        self.assert_exits(proc, EXIT_USAGE)
        self.assert_no_emulator()


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

    def test_step_line_without_slash(self):
        def edit(lines):
            at = lines.index("{startup}") + 1
            lines[at] = "36down"
            return at

        self.expect_config_error(*self.broken(edit))


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
