#!/bin/sh
# The main job: on a Debian 12 machine, install what is needed, build
# ruskel.exe and the demo emulator, and run a real launch under Wine on a
# virtual display: ruskel walks the emulator's menu to a game, a screenshot is
# taken mid-run, then the exit key closes everything.
#
#   scripts/demo.sh [rom]        (default rom: mygame, slot 12 of the demo list)
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
rom=${1:-mygame}

if [ "${RUSKEL_SKIP_INSTALL:-0}" != 1 ]; then
  ./scripts/install-deps.sh
fi

echo "== building ruskel.exe and the demo emulator (mingw-w64)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build-win -j"$(nproc 2>/dev/null || echo 2)" >/dev/null

work=$(mktemp -d /tmp/ruskel-demo.XXXXXX)
cp build-win/app/ruskel.exe build-win/demo/demoemu.exe demo/games.txt demo/lconfig.ini "$work/"
# The run's log, for its waits and the launch time (the sample's lines end in CR LF).
sed -i 's/^{options}\r$/{options}\r\nlog=ruskel.log\r/' "$work/lconfig.ini"
tool="$root/build-win/tests/e2e/ruskeltest.exe"

export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

echo "== preparing a fresh Wine prefix"
mkdir -p "$WINEPREFIX"
wineserver -p  # stays up for the whole demo, so each wine start is quick
wine wineboot --init >/dev/null 2>&1

echo "== running: ruskel.exe -$rom -keyx27   (in $work)"
(cd "$work" && wine ruskel.exe "-$rom" -keyx27 >/dev/null 2>&1; echo $? >"$work/ruskel.rc") &

log="$work/demoemu.log"
i=0
until grep -q ' PLAY ' "$log" 2>/dev/null || [ -s "$work/ruskel.rc" ] || [ $i -ge 300 ]; do
  sleep 0.1; i=$((i + 1))
done
# Let the misc keys (2 s after the game starts in the sample file) arrive too.
i=0
until grep -q 'KEYUP vk=16' "$log" 2>/dev/null || [ $i -ge 40 ]; do sleep 0.1; i=$((i + 1)); done
mkdir -p docs/images
xwd -root -silent -display ":$display" >"$work/screen.xwd"
python3 scripts/xwd2png.py "$work/screen.xwd" docs/images/demo-run.png
echo "== screenshot saved: docs/images/demo-run.png"

echo "== pressing the exit key (Escape)"
wine "$tool" press 27 150 >/dev/null 2>&1
i=0
until [ -s "$work/ruskel.rc" ] || [ $i -ge 100 ]; do sleep 0.1; i=$((i + 1)); done

echo "== what the demo emulator received (repeats folded):"
python3 - "$log" <<'PY'
import sys
events = []
for line in open(sys.argv[1], encoding="latin-1"):
    parts = line.rstrip("\r\n").split(" ", 2)
    if len(parts) >= 2 and parts[1] in ("ACTIVATE", "SHOWN", "KEYDOWN", "KEYUP", "PLAY", "QUIT"):
        events.append(" ".join(parts[1:]))
i = 0
while i < len(events):
    pair, times = events[i:i + 2], 1
    while len(pair) == 2 and events[i + 2 * times:i + 2 * times + 2] == pair:
        times += 1
    if times > 1:
        print(f"  {pair[0]}, {pair[1]}   x {times}")
        i += 2 * times
    else:
        print(f"  {events[i]}")
        i += 1
PY
playing=$(sed -n 's/.* PLAY index=[0-9]* name=//p' "$log" | tail -1)
echo "== now playing: ${playing:-nothing}"
echo "== ruskel.exe exit code: $(cat "$work/ruskel.rc" 2>/dev/null || echo 'still running')"
echo "== the walk's waits and the launch time, from ruskel.log:"
if grep -aqE ' met after | not met | launch time ' "$work/ruskel.log" 2>/dev/null; then
  grep -aE ' met after | not met | launch time ' "$work/ruskel.log" | sed 's/^ *[0-9]* ms  /   /; s/\r$//'
else
  echo "   (none in the log)"
fi
[ -n "$playing" ] && grep -q ' QUIT ' "$log"
