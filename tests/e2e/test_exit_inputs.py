"""Ending a run: the exit key, and which window gets WM_QUIT."""

import time

from e2e_testcase import EXIT_OK, EXIT_TIMEOUT_S, EMULATOR_LIFETIME_MS, WrapperTestCase
from lconfig import VK_A, VK_ESCAPE

SLOT = 1
# How long a run must survive a key that is not its exit key.
GRACE_S = 1.5


class ExitKeyTest(WrapperTestCase):
    def start_playing(self, *exit_args, **overrides):
        config = self.config(**overrides)
        rom = config.games[SLOT]
        return self.run_to_play(config, SLOT, (f"-{rom}", *exit_args))

    def test_escape_ends_the_run(self):
        proc = self.start_playing("-keyx27")
        pressed_at = self.press(VK_ESCAPE)
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, self.details(proc))
        self.assertEqual(quit_event.fields["reason"], "WM_QUIT")
        self.assertGreaterEqual(quit_event.ms, pressed_at, "closed before the key was pressed")
        self.assert_exits(proc, EXIT_OK)

    def test_escape_is_the_default_exit_key(self):
        proc = self.start_playing()
        self.end_with_exit_key(proc, VK_ESCAPE)

    def test_escape_does_not_end_a_run_whose_exit_key_is_a(self):
        proc = self.start_playing("-keyx65")
        self.press(VK_ESCAPE)
        time.sleep(GRACE_S)
        self.assertIsNone(proc.poll(), "Escape ended the run\n" + self.details(proc))
        self.assertEqual(self.log.named("QUIT"), [], self.details(proc))
        self.end_with_exit_key(proc, VK_A)

    def assert_only_this_side_ends(self, exit_key: int, other_side: str, this_side: str):
        # Keyboards tell the sides apart by scan code, and Ctrl and Alt by the E0 prefix too;
        # raw input reports only the generic Shift, Ctrl or Alt.
        proc = self.start_playing(f"-keyx{exit_key}")
        self.press(other_side)
        time.sleep(GRACE_S)
        self.assertIsNone(proc.poll(), "the other side ended the run\n" + self.details(proc))
        self.end_with_exit_key(proc, this_side)

    def test_left_ctrl_ends_the_run(self):
        self.assert_only_this_side_ends(162, "163:0x1d:e", "162:0x1d")

    def test_right_shift_ends_the_run(self):
        self.assert_only_this_side_ends(161, "160:0x2a", "161:0x36")

    def test_exit_key_that_is_not_a_number_leaves_the_run_going(self):
        proc = self.start_playing("-keyxabc")
        self.press(VK_ESCAPE)
        time.sleep(GRACE_S)
        self.assertIsNone(proc.poll(), "Escape ended the run\n" + self.details(proc))
        self.assertEqual(self.log.named("QUIT"), [], self.details(proc))


class CloseModeTest(WrapperTestCase):
    """With another window in front at exit time, the close mode decides who gets WM_QUIT."""

    def run_with_other_window_in_front(self, close_mode):
        config = self.config(close_mode=close_mode)
        proc = self.run_to_play(config, SLOT, (f"-{config.games[SLOT]}", "-keyx27"))
        other_title = self.unique_title("Other Window")
        self.case.start_demoemu(
            "--title", other_title, "--log", "other.log", "--lifetime", str(EMULATOR_LIFETIME_MS)
        )
        self.assertEqual(self.case.tool("waitvisible", other_title, "15000").returncode, 0)
        self.assertEqual(self.case.tool("front", other_title, "5000").returncode, 0)
        self.press(VK_ESCAPE)
        self.assert_exits(proc, EXIT_OK)
        return self.emulator_log("other.log")

    def test_title_mode_closes_the_emulator_window(self):
        other = self.run_with_other_window_in_front("title")
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, self.details())
        self.assertEqual(quit_event.fields["reason"], "WM_QUIT")
        time.sleep(GRACE_S)
        self.assertEqual(other.named("QUIT"), [], other.dump())

    def test_null_mode_never_closes_another_program_in_front(self):
        # The program in front is not the emulator's: the emulator's own window gets the quit.
        other = self.run_with_other_window_in_front("null")
        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, self.details())
        self.assertEqual(quit_event.fields["reason"], "WM_QUIT")
        time.sleep(GRACE_S)
        self.assertEqual(other.named("QUIT"), [], other.dump())

    def test_null_mode_with_the_emulator_in_front(self):
        config = self.config(close_mode="null")
        proc = self.run_to_play(config, SLOT, (f"-{config.games[SLOT]}", "-keyx27"))
        self.end_with_exit_key(proc)
