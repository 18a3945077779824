#!/bin/sh
# Builds the libFuzzer targets with clang and runs each one for a while on a
# scratch copy of the seed corpus. Fails on any crash, leak, undefined
# behaviour, timeout or broken invariant; prints how many inputs each ran.
#
#   scripts/fuzz.sh [seconds per target]      (default 60)
#
# Crashing inputs are kept in build-fuzz/fuzz-work/<target>/artifacts/; replay
# one with: build-fuzz/tests/fuzz/fuzz_<target> <file>
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
jobs=$(nproc 2>/dev/null || echo 2)

echo "== building the fuzz targets (clang, libFuzzer, ASan, UBSan)"
# The libraries get coverage hooks (fuzzer-no-link) and the sanitizers; only
# the fuzz targets themselves link libFuzzer's main.
# shellcheck disable=SC2046  # no words or one: -G Ninja
cmake -S . -B "$build" $(./scripts/generator.sh "$build") -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRUSKEL_FUZZ=ON -DRUSKEL_SANITIZE=ON -DRUSKEL_WERROR=ON -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" -j"$jobs" --target fuzz_config fuzz_args

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# One target for the given time; its summary line goes to <work>/summary.
fuzz_one() {  # <kind>
  target=fuzz_$1
  work=$build/fuzz-work/$1
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  # The fuzzer adds what it finds to its corpus folder: never the checked-in one.
  cp tests/fuzz/corpus/$1/* "$work/corpus/"
  echo "== $target for ${seconds}s"
  if "$build/tests/fuzz/$target" "$work/corpus" -dict="$build/tests/fuzz/$1.dict" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" >"$work/fuzz.log" 2>&1; then
    result=ok
  else
    result=FAILED
  fi
  if [ -n "$(ls -A "$work/artifacts")" ]; then result=FAILED; fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/fuzz.log" | tail -n 1)
  corpus=$(ls "$work/corpus" | wc -l)
  echo "$target: $result, ${execs:-?} executions (${rate:-?}/s), corpus $corpus files" \
    >"$work/summary"
  [ "$result" = ok ] && return 0
  tail -n 60 "$work/fuzz.log" >&2
  for crash in "$work"/artifacts/*; do
    [ -e "$crash" ] || continue
    echo "reproducer: $build/tests/fuzz/$target $crash" >&2
    # The input itself, for a CI log whose build folder is gone: base64 -d it into a file.
    echo "the input, in base64: $(head -c 4096 "$crash" | base64 -w 0)" >&2
  done
  return 1
}

status=0
# Each fuzzer runs on one core: with two, both run at once for the same depth
# in half the time.
if [ "$jobs" -ge 2 ]; then
  fuzz_one config &
  config_pid=$!
  fuzz_one args &
  args_pid=$!
  wait "$config_pid" || status=1
  wait "$args_pid" || status=1
else
  fuzz_one config || status=1
  fuzz_one args || status=1
fi
summary=$(cat "$build/fuzz-work/config/summary" "$build/fuzz-work/args/summary" 2>/dev/null)

echo "== fuzz summary"
printf '%s\n' "$summary"
exit $status
