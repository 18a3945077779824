#!/bin/sh
# Builds the native code and unit tests with AddressSanitizer (leaks included)
# and UndefinedBehaviorSanitizer, and runs the unit tests. Any sanitizer report
# fails the run: the build stops at the first error (-fno-sanitize-recover) and
# the test output is searched for reports as well.
#
#   scripts/sanitize.sh          (uses g++, which matches Debian's GoogleTest)
#
# RUSKEL_WERROR=ON makes warnings errors, as the test command has it.
set -eu
cd "$(dirname "$0")/.."
build=build-asan
jobs=$(nproc 2>/dev/null || echo 2)

echo "== building with -fsanitize=address,undefined"
# shellcheck disable=SC2046  # no words or one: -G Ninja
cmake -S . -B "$build" $(./scripts/generator.sh "$build") -DCMAKE_BUILD_TYPE=Debug \
  -DRUSKEL_SANITIZE=ON -DRUSKEL_WERROR="${RUSKEL_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$jobs"

echo "== unit tests under the sanitizers"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
log=$build/sanitize-tests.log
status=0
ctest --test-dir "$build" --output-on-failure -j"$jobs" --output-log "$log" -V >/dev/null || status=1
# ctest -V keeps every test's output in the log, passing tests included.
if grep -E 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: UndefinedBehaviorSanitizer' \
  "$log" >&2; then
  status=1
fi
tail -n 3 "$log" | grep -E 'tests passed|tests failed' || true
if [ "$status" -ne 0 ]; then
  echo "sanitize.sh: sanitizer reports or failing tests; full output in $log" >&2
  grep -E '^[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*' "$log" >&2 || true
  exit 1
fi
echo "== no sanitizer reports"
