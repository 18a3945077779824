"""Reader for the demo emulator's event log.

Each line is `<epoch_ms> <EVENT> <details>`; details are `key=value` words, except for START
whose command line may hold blanks.
"""

from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable, Dict, List, Optional, Tuple

from harness import wait_until


@dataclass
class Event:
    ms: int
    name: str
    details: str
    fields: Dict[str, str] = field(default_factory=dict)


def parse_line(line: str) -> Optional[Event]:
    parts = line.split(" ", 2)
    if len(parts) < 2 or not parts[0].isdigit():
        return None
    details = parts[2] if len(parts) > 2 else ""
    fields = {}
    if parts[1] != "START":
        for word in details.split(" "):
            key, sep, value = word.partition("=")
            if sep:
                fields[key] = value
    # A game name is the last field and may not hold blanks in our lists, but keep it whole.
    if "name=" in details:
        fields["name"] = details.split("name=", 1)[1]
    return Event(int(parts[0]), parts[1], details, fields)


@dataclass
class Hold:
    vk: int
    ms: int  # up minus down on the system tick, exact to the millisecond
    down: int  # epoch ms
    up: int


class EmulatorLog:
    """The log file of one demo emulator run, re-read on every query."""

    def __init__(self, path: Path):
        self.path = path

    def exists(self) -> bool:
        return self.path.exists()

    def events(self) -> List[Event]:
        try:
            raw = self.path.read_bytes().decode("latin-1")
        except FileNotFoundError:
            return []
        # Only complete lines: the emulator may be writing the last one right now.
        lines = raw.split("\r\n")[:-1]
        return [event for event in map(parse_line, lines) if event is not None]

    def named(self, name: str) -> List[Event]:
        return [event for event in self.events() if event.name == name]

    def keys(self) -> List[Tuple[str, int]]:
        """Key events in order, as ("down"|"up", vk)."""
        result = []
        for event in self.events():
            if event.name in ("KEYDOWN", "KEYUP"):
                result.append(("down" if event.name == "KEYDOWN" else "up", int(event.fields["vk"])))
        return result

    def key_events(self) -> List[Event]:
        """KEYDOWN and KEYUP events in order, with their via, scan and ext fields."""
        return [event for event in self.events() if event.name in ("KEYDOWN", "KEYUP")]

    def holds(self) -> List["Hold"]:
        """Each key's hold as the window's key messages timed it, in the order of the key-ups."""
        return [Hold(int(e.fields["vk"]), int(e.fields["ms"]), int(e.fields["down"]),
                     int(e.fields["up"])) for e in self.named("HOLD")]

    def slow_frames(self) -> List[Tuple[int, int]]:
        """The reader's frames that took more than two, as (start, end) epoch ms."""
        return [(e.ms - int(e.fields["gap"]), e.ms) for e in self.named("FRAME")]

    def wait_for(self, match: Callable[[Event], bool], timeout_s: float) -> Optional[Event]:
        """First event that matches, waiting up to timeout_s for it to be logged."""

        def probe():
            return next((event for event in self.events() if match(event)), None)

        return wait_until(probe, timeout_s)

    def wait_event(self, name: str, timeout_s: float) -> Optional[Event]:
        return self.wait_for(lambda event: event.name == name, timeout_s)

    def dump(self) -> str:
        """The log's text for failure messages."""
        try:
            return self.path.read_bytes().decode("latin-1")
        except FileNotFoundError:
            return "(no log: the emulator never started)"
