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

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
./scripts/sanitize.sh

echo "== fuzzing the configuration reader and the argument parser"
./scripts/fuzz.sh "${RUSKEL_FUZZ_SECONDS:-60}"

echo "== release zip"
./scripts/release.sh

echo "== all tests passed"
