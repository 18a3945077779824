#!/bin/sh
# Sets up a Debian 12 machine and runs every test: the native unit tests, the
# Windows cross build, and the end-to-end suite under Wine on a virtual display.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "${RUSKEL_SKIP_INSTALL:-0}" != 1 ]; then
  ./scripts/install-deps.sh
fi
jobs=$(nproc 2>/dev/null || echo 2)

echo "== native build and unit tests"
cmake -S . -B build -DRUSKEL_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Windows cross build"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DRUSKEL_WERROR=ON >/dev/null
cmake --build build-win -j"$jobs"
./scripts/check-imports.sh build-win/app/ruskel.exe

echo "== end-to-end tests under Wine"
# One suite at a time: each drives its own Wine desktop, and timing matters.
ctest --test-dir build-win --output-on-failure

echo "== 32-bit Windows build (i686)"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
  -DRUSKEL_WERROR=ON >/dev/null
cmake --build build-win32 -j"$jobs"
./scripts/check-imports.sh build-win32/app/ruskel.exe build-win32/tools/check/ruskel-check.exe

# A Wine prefix of the 32-bit kind behaves like 32-bit Windows: no 64-bit side at all.
if ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  echo "test.sh: 32-bit Wine (wine32) is missing: run scripts/install-deps.sh" >&2
  exit 1
fi
echo "== unit tests built for 32-bit Windows, under 32-bit Wine"
# GoogleTest needs the posix thread model of mingw-w64; the programs keep win32.
cmake -S . -B build-win32-tests -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
  -DMINGW_THREADS=posix -DRUSKEL_CROSS_UNIT_TESTS=ON -DRUSKEL_WERROR=ON \
  -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
cmake --build build-win32-tests -j"$jobs" --target unit_tests
WINEARCH=win32 WINEPREFIX="$root/build-win32-tests/wineprefix" WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=" ctest --test-dir build-win32-tests -L unit --output-on-failure

echo "== end-to-end smoke test of the 32-bit programs under 32-bit Wine"
WINEARCH=win32 python3 tests/e2e/run_e2e.py --bin "$root/build-win32" test_game_selection \
  test_check_tool

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
./scripts/sanitize.sh

echo "== fuzzing the configuration reader and the argument parser"
./scripts/fuzz.sh "${RUSKEL_FUZZ_SECONDS:-60}"

echo "== release zip"
./scripts/release.sh

echo "== all tests passed"
