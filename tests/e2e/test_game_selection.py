"""Typical runs: the wrapper walks the demo menu to the rom's slot and starts it."""

from e2e_testcase import EXIT_NOT_LISTED, EXIT_TIMEOUT_S, WrapperTestCase, session
from lconfig import VK_HOME, demo_games, expected_keys, tap

SLOT_OF_MYGAME = 12


class SelectionTest(WrapperTestCase):
    def select_and_exit(self, slot, *args, exit_vk=27):
        config = self.config()
        proc = self.run_to_play(config, slot, args)
        self.end_with_exit_key(proc, exit_vk)

    def test_game_in_slot_0_gets_no_select_keys(self):
        self.select_and_exit(0, f"-{demo_games()[0]}", "-keyx27")

    def test_game_in_slot_1(self):
        self.select_and_exit(1, f"-{demo_games()[1]}", "-keyx27")

    def test_game_in_slot_12(self):
        self.assertEqual(demo_games()[SLOT_OF_MYGAME], "mygame")
        self.select_and_exit(SLOT_OF_MYGAME, "-mygame", "-keyx27", "-butx4")


class RomFormTest(WrapperTestCase):
    # The forms of a rom name (extension, case, markers) are the unit tests' to cover; these are
    # the form front ends pass, and a name only the Windows code page upper-cases.
    def play_mygame(self, *args):
        proc = self.run_to_play(self.config(), SLOT_OF_MYGAME, args)
        self.end_with_exit_key(proc)

    def test_path_to_the_rom(self):
        self.play_mygame(r"-C:\roms\mygame.zip", "-keyx27")

    def test_accented_name_in_another_case(self):
        # The lookup upper-cases both sides as Windows does for its ANSI code page (1252 under
        # Wine's default locale): POKÉMON on the command line finds Pokémon in the list. A UTF-8
        # locale lets Wine read the non-ASCII argument.
        slot = 3
        config = self.config()
        config.games = [*config.games[:slot], "Pokémon", *config.games[slot + 1 :]]
        self.case.write_config(config.text())
        env = dict(session().env, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        proc = self.case.spawn(self.case.ruskel, "-POKÉMON", "-keyx27", name="ruskel", env=env)
        self.ruskel_proc = proc
        expected = expected_keys(config, slot)
        self.assertEqual(self.wait_keys(len(expected)), expected, self.details(proc))
        play = self.log.wait_event("PLAY", 5)
        self.assertIsNotNone(play, "no game started\n" + self.details(proc))
        self.assertEqual(play.fields.get("index"), str(slot), self.details(proc))
        self.end_with_exit_key(proc)


class UnlistedRomTest(WrapperTestCase):
    def expect_closed_after_startup_keys(self, *args):
        proc = self.start(self.config(), *args)
        quit_event = self.log.wait_event("QUIT", 20)
        self.assertIsNotNone(quit_event, "emulator not closed\n" + self.details(proc))
        self.assertEqual(quit_event.fields.get("reason"), "WM_QUIT", self.details(proc))
        # The startup keys come before the lookup and nothing else is typed. The emulator may
        # not get to see them: its loop takes the posted WM_QUIT ahead of queued input.
        startup = [(action, vk) for vk, action in tap(VK_HOME)]
        keys = self.log.keys()
        self.assertEqual(keys, startup[: len(keys)], self.details(proc))
        self.assertEqual(self.log.named("PLAY"), [], self.details(proc))
        self.assert_exits(proc, EXIT_NOT_LISTED, EXIT_TIMEOUT_S)

    def test_unlisted_rom_closes_the_emulator(self):
        self.expect_closed_after_startup_keys("-nosuchgame", "-keyx27")
