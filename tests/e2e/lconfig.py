"""Builds lconfig.ini files for the wrapper, one list of lines at a time.

`Config.lines()` gives the file as a list of lines so that a test can break one on purpose and
know the 1-based number of the line it broke; `text()` joins them with CR LF.
"""

from dataclasses import dataclass, field
from pathlib import Path
from typing import Dict, List, Sequence, Tuple

Step = Tuple[int, str]

VK_RETURN = 13
VK_SHIFT = 16
VK_ESCAPE = 27
VK_HOME = 36
VK_UP = 38
VK_DOWN = 40
VK_A = 65
VK_M = 77


def tap(vk: int) -> List[Step]:
    return [(vk, "down"), (vk, "up")]


def demo_games() -> List[str]:
    path = Path(__file__).resolve().parents[2] / "demo" / "games.txt"
    return [line.strip() for line in path.read_text().splitlines() if line.strip()]


@dataclass
class Config:
    title: str
    close_mode: str = "title"
    # Home is harmless in the demo menu but shows up in its log, so the startup keys are seen.
    startup: List[Step] = field(default_factory=lambda: tap(VK_HOME))
    select: List[Step] = field(default_factory=lambda: tap(VK_DOWN))
    enter: List[Step] = field(default_factory=lambda: tap(VK_RETURN))
    timer: str = "0"
    misc: List[Step] = field(default_factory=list)
    games: List[str] = field(default_factory=demo_games)
    exe: str = "demoemu.exe"
    # `name=value` lines of an {options} section after the exe line; none: no section at all.
    options: Dict[str, str] = field(default_factory=dict)
    # Body lines of a {game NAME} section per name, after the options.
    game_sections: Dict[str, List[str]] = field(default_factory=dict)

    def lines(self) -> List[str]:
        section = steps
        return [
            "Written by the end-to-end suite.",
            "{handles}",
            self.title,
            self.close_mode,
            "{/handles}",
            *section("startup", self.startup),
            *section("selectsequence", self.select),
            *section("entersequence", self.enter),
            f"timer={self.timer}",
            *section("misc", self.misc),
            "{gamelist}",
            *self.games,
            "{/gamelist}",
            f"exe={self.exe}",
            *self.option_lines(),
            *[line for name, body in self.game_sections.items()
              for line in ["{game " + name + "}", *body, "{/game}"]],
        ]

    def option_lines(self) -> List[str]:
        if not self.options:
            return []
        return ["{options}", *[f"{name}={value}" for name, value in self.options.items()],
                "{/options}"]

    def text(self) -> str:
        return join_lines(self.lines())


def steps(tag: str, keys: Sequence[Step]) -> List[str]:
    """A sequence section's lines, such as {misc} 77/down 77/up {/misc}; a text is a line as it
    stands (a wait or click step)."""
    lines = [key if isinstance(key, str) else f"{key[0]}/{key[1]}" for key in keys]
    return ["{" + tag + "}", *lines, "{/" + tag + "}"]


def join_lines(lines: Sequence[str]) -> str:
    return "".join(line + "\r\n" for line in lines)


def expected_keys(config: Config, slot: int) -> List[Tuple[str, int]]:
    """The key events a run for the game in `slot` must deliver, in order."""
    steps = list(config.startup) + list(config.select) * slot + list(config.enter)
    return [(action, vk) for vk, action in steps]
