#!/usr/bin/env python3
"""Checks that every link of the Markdown files under a folder resolves inside that folder: the
file it names exists there, and a #part names a heading of that file. Web links are not followed.

    scripts/check-links.py FOLDER

Prints one line per broken link and exits 1 when there is any, 0 otherwise.
"""

import re
import sys
from pathlib import Path

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$")
WEB = ("http://", "https://", "mailto:")


def prose_lines(path: Path):
    """(number, line) of the lines outside ``` blocks."""
    fenced = False
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
        elif not fenced:
            yield number, line


def anchor(heading: str) -> str:
    """A heading's anchor as GitHub makes it: lower case, punctuation dropped, blanks to dashes."""
    text = re.sub(r"`([^`]*)`", r"\1", heading).lower()
    text = "".join(c for c in text if c.isalnum() or c in " -_")
    return text.replace(" ", "-")


def anchors(path: Path) -> set:
    seen = {}
    found = set()
    for _, line in prose_lines(path):
        match = HEADING.match(line)
        if not match:
            continue
        base = anchor(match.group(1))
        count = seen.get(base, 0)
        seen[base] = count + 1
        found.add(base if count == 0 else f"{base}-{count}")
    return found


def broken_links(root: Path):
    root = root.resolve()
    for page in sorted(root.rglob("*.md")):
        for number, line in prose_lines(page):
            for target in LINK.findall(re.sub(r"`[^`]*`", "", line)):
                if target.startswith(WEB):
                    continue
                file_part, _, part = target.partition("#")
                linked = (page.parent / file_part).resolve() if file_part else page
                where = f"{page.relative_to(root)}:{number}: {target}"
                if root not in linked.parents and linked != root:
                    yield f"{where}: outside {root.name}"
                elif not linked.exists():
                    yield f"{where}: no such file"
                elif part and linked.suffix == ".md" and part not in anchors(linked):
                    yield f"{where}: no heading #{part} in {linked.name}"


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    broken = list(broken_links(Path(sys.argv[1])))
    for line in broken:
        print(f"broken link: {line}", file=sys.stderr)
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
