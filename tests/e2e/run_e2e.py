#!/usr/bin/env python3
"""Runs the end-to-end suite under Wine in a private Xvfb display and WINEPREFIX.

    run_e2e.py --bin <cross build dir> [test_module ...] [-k PATTERN]

Exits 0 when every test passed (tests that need ruskel.exe are skipped until it is built),
1 on a failure, and 77 (CTest's skip code here) when wine or Xvfb is not installed.
"""

import argparse
import os
import shutil
import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from e2e_testcase import set_session  # noqa: E402
from harness import Binaries, Session  # noqa: E402

EXIT_SKIP = 77


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", type=Path, required=True, help="the cross build directory")
    parser.add_argument("--ruskel", type=Path, help="ruskel.exe (default <bin>/app/ruskel.exe)")
    parser.add_argument("--demoemu", type=Path, help="default <bin>/demo/demoemu.exe")
    parser.add_argument("--tool", type=Path, help="default <bin>/tests/e2e/ruskeltest.exe")
    parser.add_argument("--decoy", type=Path, help="default <bin>/tests/e2e/decoy.exe")
    parser.add_argument("--probe", type=Path,
                        help="default <bin>/tests/e2e/platform_probe.exe")
    parser.add_argument("-k", dest="patterns", action="append", help="only tests matching")
    parser.add_argument("--keep", action="store_true", help="keep the case folders and prefix")
    parser.add_argument("modules", nargs="*", help="test modules (default: all test_*.py)")
    return parser.parse_args()


def find_binaries(args) -> Binaries:
    # The helpers run from each case's folder, so relative paths would point nowhere.
    for name in ("bin", "ruskel", "demoemu", "tool", "decoy", "probe"):
        if getattr(args, name) is not None:
            setattr(args, name, getattr(args, name).resolve())
    ruskel = args.ruskel or args.bin / "app" / "ruskel.exe"
    decoy = args.decoy or args.bin / "tests" / "e2e" / "decoy.exe"
    probe = args.probe or args.bin / "tests" / "e2e" / "platform_probe.exe"
    check = args.bin / "tools" / "check" / "ruskel-check.exe"
    return Binaries(
        ruskel=ruskel if ruskel.is_file() else None,
        demoemu=args.demoemu or args.bin / "demo" / "demoemu.exe",
        tool=args.tool or args.bin / "tests" / "e2e" / "ruskeltest.exe",
        games=HERE.parent.parent / "demo" / "games.txt",
        decoy=decoy if decoy.is_file() else None,
        probe=probe if probe.is_file() else None,
        check=check if check.is_file() else None,
    )


def main() -> int:
    args = parse_args()
    missing = [tool for tool in ("wine", "wineserver", "Xvfb") if shutil.which(tool) is None]
    if missing:
        print(f"SKIP: not installed: {', '.join(missing)}")
        return EXIT_SKIP
    bins = find_binaries(args)
    for needed in (bins.demoemu, bins.tool, bins.games):
        if not needed.is_file():
            print(f"missing {needed}: build the cross build first", file=sys.stderr)
            return 1
    if bins.ruskel is None:
        print("note: ruskel.exe not built; the wrapper tests will be skipped")

    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [f"*{pattern}*" for pattern in args.patterns]
    if args.modules:
        suite = loader.loadTestsFromNames([Path(name).stem for name in args.modules])
    else:
        suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))

    # One booted prefix per build folder and architecture, copied for each run.
    template = args.bin / f"e2e-prefix-{os.environ.get('WINEARCH', 'default')}"
    session = Session(bins, keep=args.keep, template=template)
    try:
        session.start()
        print(f"Wine session: display {session.display}, prefix {session.prefix}", flush=True)
        set_session(session)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    finally:
        session.stop()
        if args.keep:
            print(f"kept {session.root}")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
