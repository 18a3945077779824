"""The demo emulator's six ways of reading keys, driven by the helper tool alone.

Keys are sent as a keyboard sends them (virtual-key code, scan code, extended flag) and held
long enough for a reader that polls once per frame. The log must name the key each reading
recognised, so that Down is never taken for numpad 2.
"""

from e2e_testcase import E2ETestCase
from lconfig import VK_DOWN, VK_RETURN, demo_games

LIFETIME = "30000"
MODES = ("messages", "async", "keyboardstate", "dinput", "dinputbuffered", "rawinput")
# Readers that know keys only by their scan code.
SCAN_MODES = ("dinput", "dinputbuffered", "rawinput")
HOLD_MS = "60"
GAP_MS = "60"
DOWN = "40:0x50:e"
RETURN = "13:0x1c"
VK_NUMPAD2 = 98


class InputModeTest(E2ETestCase):
    def start_emulator(self, mode):
        title = self.unique_title()
        self.case.start_demoemu("--title", title, "--lifetime", LIFETIME, f"--input={mode}")
        log = self.emulator_log()
        self.assertEqual(self.case.tool("waitvisible", title, "15000").returncode, 0, log.dump())
        ready = log.wait_event("INPUT", 10)
        self.assertIsNotNone(ready, log.dump())
        self.assertEqual(ready.fields, {"mode": mode, "ready": "1"}, log.dump())
        return title, log

    def type_keys(self, title, *keys):
        result = self.case.tool("type", title, "5000", HOLD_MS, GAP_MS, *keys)
        self.assertEqual(result.returncode, 0, "could not type into the emulator")

    def test_every_mode_walks_the_menu(self):
        for mode in MODES:
            with self.subTest(mode=mode):
                self.case = self.case.session.new_case(f"walk_{mode}")
                self.addCleanup(self.case.cleanup)
                title, log = self.start_emulator(mode)
                self.type_keys(title, DOWN, DOWN, RETURN)
                play = log.wait_event("PLAY", 10)
                self.assertIsNotNone(play, log.dump())
                self.assertEqual(play.fields["name"], demo_games()[2], log.dump())
                log.wait_for(lambda _e: len(log.keys()) >= 6, 5)
                self.assertEqual(
                    log.keys(),
                    [("down", 40), ("up", 40), ("down", 40), ("up", 40), ("down", 13), ("up", 13)],
                    log.dump(),
                )
                events = log.key_events()
                self.assertEqual({e.fields["via"] for e in events}, {mode}, log.dump())
                self.assertEqual(
                    [(e.fields["scan"], e.fields["ext"]) for e in events[:2]],
                    [("0x50", "1"), ("0x50", "1")],
                    log.dump(),
                )
                self.assertEqual(log.named("QUIT"), [], log.dump())
                self.case.tool("close", title)
                self.assertIsNotNone(log.wait_event("QUIT", 10), log.dump())

    def test_down_without_the_extended_flag_is_numpad_2_to_scan_code_readers(self):
        for mode in SCAN_MODES:
            with self.subTest(mode=mode):
                self.case = self.case.session.new_case(f"numpad_{mode}")
                self.addCleanup(self.case.cleanup)
                title, log = self.start_emulator(mode)
                self.type_keys(title, "40:0x50")
                log.wait_for(lambda _e: len(log.keys()) >= 2, 5)
                self.assertEqual(log.keys(), [("down", VK_NUMPAD2), ("up", VK_NUMPAD2)], log.dump())
                self.assertEqual(log.named("SELECT"), [], log.dump())

    def test_message_reader_takes_the_virtual_key_code_whatever_the_scan_code(self):
        title, log = self.start_emulator("messages")
        self.type_keys(title, "40:0x50", f"{VK_DOWN}:0")
        log.wait_for(lambda _e: len(log.keys()) >= 4, 5)
        self.assertEqual(log.keys(), [("down", 40), ("up", 40)] * 2, log.dump())
        self.assertEqual([e.fields["scan"] for e in log.key_events()],
                         ["0x50", "0x50", "0x00", "0x00"], log.dump())
        self.assertEqual(len(log.named("SELECT")), 2, log.dump())

    def test_scan_code_0_is_no_key_to_raw_input(self):
        title, log = self.start_emulator("rawinput")
        self.type_keys(title, f"{VK_DOWN}:0", f"{VK_RETURN}:0")
        log.wait_for(lambda _e: len(log.keys()) >= 4, 5)
        self.assertEqual(log.keys(), [("down", 0), ("up", 0)] * 2, log.dump())
        self.assertEqual({e.fields["scan"] for e in log.key_events()}, {"0x00"}, log.dump())
        self.assertEqual(log.named("SELECT") + log.named("PLAY"), [], log.dump())
