"""Keys reach emulators whatever way they read the keyboard.

The demo emulator reads keys in one of six ways (`--input=`); each run walks its menu to slot 12
(Home, 12 × Down, Return) and checks, from the keys the emulator recognised, that every step
arrived. Readers that know keys by scan code need the scan code and extended flag; readers that
poll once per frame need each key held for a while (`keydelay`). The keydelay runs print each
key's hold and the reader's longest frame, as the emulator measured them.
"""

import time
from dataclasses import dataclass, field
from pathlib import Path
from typing import List, Tuple

from e2e_testcase import (EXIT_OK, EXIT_TIMEOUT_S, EMULATOR_LIFETIME_MS, START_TIMEOUT_S,
                          WrapperTestCase)
from emulog import Event, Hold
from lconfig import VK_DOWN, VK_ESCAPE, expected_keys

SLOT_OF_MYGAME = 12
ALL_MODES = ("messages", "async", "keyboardstate", "dinput", "dinputbuffered", "rawinput")
# The readers that see a key that is down for no time at all.
QUEUED_MODES = ("messages", "dinputbuffered", "rawinput")
# The readers that look at the key state once per frame.
POLLING_MODES = ("async", "keyboardstate", "dinput")
RUNS_PER_MODE = 3
KEY_DELAY_MS = 60
# A hold is the difference of two whole-millisecond readings of the system tick (when the system
# took ruskel's key-down and key-up), each of which drops a fraction of a millisecond; the
# emulator's placing of those times on the log's clock, used to tell which hold a reader's
# key-down belongs to, is good to another millisecond. A hold shorter than keydelay by more than
# this is ruskel's.
HOLD_TOLERANCE_MS = 2
# Long enough for a polling reader's next frame.
READER_SETTLE_S = 0.2
# A walk long enough to be cut short: 2 steps of 60 ms per slot, about 36 s to the end.
LONG_LIST = [f"game{number:03d}" for number in range(400)]
LONG_SLOT = 300
# Steps played before the exit key is pressed in the middle of the long walk.
SELECTS_BEFORE_EXIT = 10
# The exit may catch one step in flight; anything later than this after the exit key is a key
# the wrapper should not have sent.
STEP_IN_FLIGHT_MS = 200


class KeyReadingCase(WrapperTestCase):
    def mode_config(self, mode: str, options=None, *extra: str):
        return self.config(exe=self.emulator_command("--input", mode, *extra),
                           options=dict(options or {}))

    def walk_to_mygame(self, mode: str, options=None) -> None:
        config = self.mode_config(mode, options)
        proc = self.run_to_play(config, SLOT_OF_MYGAME, ("-mygame", "-keyx27"))
        vias = {event.fields.get("via") for event in self.log.key_events()}
        self.assertEqual(vias, {mode}, self.details(proc))
        self.end_with_exit_key(proc)


class DefaultOptionsTest(KeyReadingCase):
    def test_queued_readers_get_every_key(self):
        for mode in QUEUED_MODES:
            with self.subTest(mode=mode):
                self.fresh_case(f"default_{mode}")
                self.walk_to_mygame(mode)


class KeyDelayTest(KeyReadingCase):
    """With keydelay every reader gets every key, and the test says why when one does not.

    ruskel controls how long it holds each key; the machine controls how long a frame of a
    polling reader takes. The hold of every key is measured at the emulator from the times its
    window's key messages carry (when the system took ruskel's key events), and must be at least
    keydelay. A reader must see every key whose hold no frame outlasted; a key missed while a
    frame took longer than its hold is the machine's doing: reported, not failed.
    """

    def test_every_reader_gets_every_key_with_keys_held(self):
        for mode in ALL_MODES:
            for run in range(1, RUNS_PER_MODE + 1):
                with self.subTest(mode=mode, run=run):
                    self.fresh_case(f"keydelay_{mode}_{run}")
                    self.walk_with_keys_held(mode)

    def walk_with_keys_held(self, mode: str) -> None:
        config = self.mode_config(mode, {"keydelay": str(KEY_DELAY_MS)})
        proc = self.start(config, "-mygame", "-keyx27")
        expected = expected_keys(config, SLOT_OF_MYGAME)
        typed = [vk for action, vk in expected if action == "down"]
        walk_keys = set(typed)
        walked = self.log.wait_for(
            lambda _e: len([h for h in self.log.holds() if h.vk in walk_keys]) >= len(typed),
            START_TIMEOUT_S)
        # The reader's last key-up comes with its next frame.
        time.sleep(READER_SETTLE_S)
        self.end_with_exit_key(proc)
        self.assertTrue(walked, "the walk never ended\n" + self.details(proc))

        holds = [h for h in self.log.holds() if h.vk in walk_keys]
        downs = [e for e in self.log.named("KEYDOWN") if int(e.fields["vk"]) in walk_keys]
        judged = judge_keys(holds, downs, self.log.slow_frames(), mode in POLLING_MODES)
        summary = self.log.named("FRAMES")
        longest = summary[0].fields["longest"] if summary else "?"
        held = " ".join(str(h.ms) for h in holds)
        print(f"\n  {mode}: longest frame {longest} ms, holds (ms) {held}"
              + "".join(f"\n    {line}" for line in judged.notes + judged.failures))

        self.assertEqual([h.vk for h in holds], typed,
                         "keys that reached the window\n" + self.details(proc))
        short = [h for h in holds if h.ms < KEY_DELAY_MS - HOLD_TOLERANCE_MS]
        self.assertEqual(short, [], "keys ruskel did not hold long enough\n" + self.details(proc))
        self.assertEqual(judged.failures, [],
                         "\n".join(judged.failures) + "\n" + self.details(proc))
        if judged.excused:
            return
        self.assertEqual(self.log.keys()[:len(expected)], expected, self.details(proc))
        play = self.log.named("PLAY")
        self.assertTrue(play, "no game started\n" + self.details(proc))
        self.assertEqual(play[0].fields["index"], str(SLOT_OF_MYGAME), self.details(proc))


@dataclass
class Judgement:
    failures: List[str] = field(default_factory=list)
    excused: List[Hold] = field(default_factory=list)
    notes: List[str] = field(default_factory=list)


def judge_keys(holds: List[Hold], downs: List[Event], slow_frames: List[Tuple[int, int]],
               polls: bool) -> Judgement:
    """Which of the held keys the reader saw, and whether a missed one is excused.

    The reader's key-downs are shared out among the holds by time: a key-down belongs to the
    hold whose down came last before it. Each hold must get exactly one key-down of its key. A
    polling reader may miss a key only during a frame at least as long as the hold.
    """
    judged = Judgement()
    for index, hold in enumerate(holds):
        start = hold.down - HOLD_TOLERANCE_MS
        end = holds[index + 1].down - HOLD_TOLERANCE_MS if index + 1 < len(holds) else None
        mine = [e for e in downs if e.ms >= start and (end is None or e.ms < end)]
        if [int(e.fields["vk"]) for e in mine] == [hold.vk]:
            continue
        if mine:
            judged.failures.append(f"key {index} (vk {hold.vk}, held {hold.ms} ms from "
                                   f"{hold.down}): the reader saw {[e.details for e in mine]}")
            continue
        frame = next((f for f in slow_frames if f[1] - f[0] >= hold.ms - HOLD_TOLERANCE_MS
                      and f[0] <= hold.up and f[1] >= hold.down), None)
        if polls and frame is not None:
            judged.excused.append(hold)
            judged.notes.append(f"key {index} (vk {hold.vk}) held {hold.ms} ms from {hold.down} "
                                f"fell into a frame of {frame[1] - frame[0]} ms "
                                f"({frame[0]}..{frame[1]}): missed, the machine's doing")
        else:
            judged.failures.append(f"key {index} (vk {hold.vk}) held {hold.ms} ms from "
                                   f"{hold.down} never reached the reader, and no frame was "
                                   f"that long")
    before = [e for e in downs if holds and e.ms < holds[0].down - HOLD_TOLERANCE_MS]
    if before:
        judged.failures.append(f"key-downs before the first key: {[e.details for e in before]}")
    return judged


class ScanCodesOffTest(KeyReadingCase):
    def test_raw_input_sees_scan_code_0_which_is_no_key(self):
        config = self.mode_config("rawinput", {"scancodes": "off"})
        proc = self.start(config, "-mygame", "-keyx27")
        expected = expected_keys(config, SLOT_OF_MYGAME)
        self.wait_keys(len(expected))
        events = self.log.key_events()
        self.assertEqual(len(events), len(expected), self.details(proc))
        self.assertEqual({(e.fields["vk"], e.fields["scan"]) for e in events}, {("0", "0x00")},
                         self.details(proc))
        self.assertEqual([e.name == "KEYDOWN" for e in events],
                         [action == "down" for action, _ in expected], self.details(proc))
        self.assertEqual(self.log.named("SELECT") + self.log.named("PLAY"), [],
                         self.details(proc))
        self.press(VK_ESCAPE)
        self.assert_exits(proc, EXIT_OK)


class ExitDuringWalkTest(KeyReadingCase):
    def test_exit_key_ends_a_long_walk_and_no_key_follows(self):
        games_file = "long_games.txt"
        Path(self.case.folder / games_file).write_text("\r\n".join(LONG_LIST) + "\r\n")
        front_end_title = self.unique_title("Front End")
        self.case.start_demoemu("--title", front_end_title, "--log", "frontend.log",
                                "--lifetime", str(EMULATOR_LIFETIME_MS))
        self.assertEqual(self.case.tool("waitvisible", front_end_title, "15000").returncode, 0)

        config = self.config(exe=self.emulator_command("--games", games_file),
                             games=LONG_LIST, options={"keydelay": str(KEY_DELAY_MS)})
        proc = self.start(config, f"-{LONG_LIST[LONG_SLOT]}", "-keyx27")
        walking = self.log.wait_for(
            lambda _e: len(self.log.named("SELECT")) >= SELECTS_BEFORE_EXIT, 30)
        self.assertIsNotNone(walking, "the walk did not start\n" + self.details(proc))
        self.press(VK_ESCAPE)

        quit_event = self.log.wait_event("QUIT", EXIT_TIMEOUT_S)
        self.assertIsNotNone(quit_event, "emulator not closed\n" + self.details(proc))
        self.assertEqual(quit_event.fields["reason"], "WM_QUIT", self.details(proc))
        self.assert_exits(proc, EXIT_OK)
        self.assertLess(len(self.log.named("SELECT")), LONG_SLOT, self.details(proc))
        self.assertEqual(self.log.named("PLAY"), [], self.details(proc))

        exit_down = next((e for e in self.log.key_events()
                          if e.name == "KEYDOWN" and e.fields["vk"] == str(VK_ESCAPE)), None)
        self.assertIsNotNone(exit_down, "the emulator never saw the exit key\n" + self.details())
        late = [e for e in self.log.key_events() if e.name == "KEYDOWN"
                and e.fields["vk"] == str(VK_DOWN) and e.ms > exit_down.ms + STEP_IN_FLIGHT_MS]
        self.assertEqual(late, [], "keys after the exit\n" + self.details())
        # Nothing typed on after the emulator has gone reaches the window then in front.
        time.sleep(1)
        front_end = self.emulator_log("frontend.log")
        self.assertEqual([e for e in front_end.key_events() if e.fields["vk"] == str(VK_DOWN)],
                         [], front_end.dump())
