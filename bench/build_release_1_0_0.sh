#!/bin/sh
# Builds ruskel.exe of release 1.0.0 from its commit, for the side-by-side benchmark.
#
#   bench/build_release_1_0_0.sh [OUT_DIR]
#
# Checks the commit out in a temporary git worktree, cross builds it there with that commit's
# own toolchain file, copies ruskel.exe to OUT_DIR (default: build-release-1.0.0 in this
# checkout) and removes the worktree again. Prints the path of the exe.
set -eu

RELEASE_1_0_0_COMMIT=ebb9e45

repo=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$repo/build-release-1.0.0"}
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/ruskel-1.0.0.XXXXXX")
tree="$work/src"
cleanup() {
    git -C "$repo" worktree remove --force "$tree" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

git -C "$repo" worktree add --detach "$tree" "$RELEASE_1_0_0_COMMIT" >&2
cmake -S "$tree" -B "$tree/build-win" \
    -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >&2
cmake --build "$tree/build-win" --target ruskel -j2 >&2
cp "$tree/build-win/app/ruskel.exe" "$out/ruskel.exe"
echo "$out/ruskel.exe"
