#!/bin/sh
# Sets up a Debian 12 machine and runs every test: the native unit tests under
# the sanitizers, the Windows cross builds, the end-to-end suite under Wine on a
# virtual display, the fuzzers and the release zips (from the cross builds). Every stage runs even when
# an earlier one failed, so one run shows every failure; the exit code is
# non-zero when any stage failed.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "${RUSKEL_SKIP_INSTALL:-0}" != 1 ]; then
  ./scripts/install-deps.sh
fi
jobs=$(nproc 2>/dev/null || echo 2)

# The native unit tests are built once, with the sanitizers: a plain build of
# the same tests would only run them again without the checks.
native() { RUSKEL_WERROR=ON ./scripts/sanitize.sh; }

cross_build() {  # <toolchain> <folder>
  # shellcheck disable=SC2046  # no words or one: -G Ninja
  cmake -S . -B "$2" $(./scripts/generator.sh "$2") \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$1.cmake" -DRUSKEL_WERROR=ON >/dev/null &&
    cmake --build "$2" -j"$jobs"
}

win64() {
  cross_build x86_64 build-win && ./scripts/check-imports.sh build-win/app/ruskel.exe
}

e2e() {
  # One suite at a time: each drives its own Wine desktop, and timing matters.
  ctest --test-dir build-win --output-on-failure && return 0
  # A Wine session on a busy two-core machine now and then stalls a program's
  # start for many seconds. A failed suite runs once more, and its first
  # failure stays printed above: a fault of ruskel's fails both times.
  echo "== end-to-end: the failed suites once more"
  ctest --test-dir build-win --output-on-failure --rerun-failed
}

win32() {
  cross_build i686 build-win32 &&
    ./scripts/check-imports.sh build-win32/app/ruskel.exe build-win32/tools/check/ruskel-check.exe
}

win32_under_wine() {
  # A Wine prefix of the 32-bit kind behaves like 32-bit Windows: no 64-bit side at all.
  # GoogleTest needs the posix thread model of mingw-w64; the programs keep win32.
  # shellcheck disable=SC2046  # no words or one: -G Ninja
  cmake -S . -B build-win32-tests $(./scripts/generator.sh build-win32-tests) \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
    -DMINGW_THREADS=posix -DRUSKEL_CROSS_UNIT_TESTS=ON -DRUSKEL_WERROR=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null &&
    cmake --build build-win32-tests -j"$jobs" --target unit_tests &&
    WINEARCH=win32 WINEPREFIX="$root/build-win32-tests/wineprefix" WINEDEBUG=-all \
      WINEDLLOVERRIDES="mscoree,mshtml=" \
      ctest --test-dir build-win32-tests -L unit --output-on-failure &&
    WINEARCH=win32 python3 tests/e2e/run_e2e.py --bin "$root/build-win32" test_game_selection \
      test_check_tool
}

passed=0
failed=0
failures=""
# Each stage's output is kept, so that a failed stage's last lines can be shown
# again at the very end, where a CI page that shows only the tail has them.
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
stage() {  # <title> <function>
  echo "== $1"
  start=$(date +%s)
  log="$logs/$((passed + failed)).log"
  # The stage runs in this shell (its status is the function's own); its
  # output goes to the screen and to the log as it comes.
  mkfifo "$log.pipe"
  tee "$log" <"$log.pipe" &
  tee_pid=$!
  if "$2" >"$log.pipe" 2>&1; then
    wait "$tee_pid"
    passed=$((passed + 1))
    echo "== $1: passed ($(($(date +%s) - start)) s)"
  else
    wait "$tee_pid"
    failed=$((failed + 1))
    failures="$failures
== $1: FAILED; its last lines:
$(grep -v '^\[[0-9]*/[0-9]*\] ' "$log" | tail -n 40)"
    echo "== $1: FAILED ($(($(date +%s) - start)) s)"
  fi
  rm -f "$log.pipe"
}

stage "native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer" native
stage "64-bit Windows build" win64
stage "end-to-end tests under Wine" e2e
stage "32-bit Windows build" win32
if ./scripts/wine32-runs.sh; then
  stage "32-bit unit tests and end-to-end smoke test under 32-bit Wine" win32_under_wine
else
  echo "== SKIPPED: the 32-bit programs under 32-bit Wine: this kernel cannot run 32-bit"
  echo "   programs (they are built and import-checked above)"
fi
fuzz() { ./scripts/fuzz.sh "${RUSKEL_FUZZ_SECONDS:-60}"; }
stage "fuzzing the configuration reader and the argument parser" fuzz
stage "release zips" ./scripts/release.sh

if [ "$failed" -ne 0 ]; then
  echo "== failed stages, again:$failures"
fi
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
