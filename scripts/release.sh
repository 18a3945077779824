#!/bin/sh
# Builds the Windows programs twice, 64-bit and 32-bit, and packs what a user
# needs into dist/ruskel-<version>-win64.zip and dist/ruskel-<version>-win32.zip,
# then checks the packed exes: the right machine type, system DLLs only,
# version information and manifest present, ruskel.exe small; and the packed
# documents: every link resolves inside the zip.
#
#   scripts/release.sh
#
# It builds in build-win and build-win32, the folders of the test command's
# cross builds (with the same settings), so after scripts/test.sh nothing is
# built again.
#
# The version is the one in the top-level CMakeLists.txt (project VERSION).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

version=$(sed -n 's/^project(ruskel VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "release.sh: no project(ruskel VERSION ...) in CMakeLists.txt" >&2
  exit 1
fi
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT

# release <flavour> <toolchain file> <build folder> <objdump file format> <most bytes of ruskel.exe>
release() {
  flavour=$1
  build=$3
  format=$4
  max_size=$5
  name=ruskel-$version-$flavour
  echo "== ruskel $version ($flavour): building the Windows programs"
  # shellcheck disable=SC2046  # no words or one: -G Ninja
  cmake -S . -B "$build" $(./scripts/generator.sh "$build") \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" -DCMAKE_BUILD_TYPE=Release -DRUSKEL_WERROR=ON >/dev/null
  # Every generator lists the targets' folders here.
  has_target() { grep -q "/CMakeFiles/$1\.dir\$" "$build/CMakeFiles/TargetDirectories.txt"; }
  for target in ruskel ruskel-check demoemu; do
    if has_target "$target"; then
      cmake --build "$build" -j"$jobs" --target "$target" >/dev/null
    elif [ "$target" = ruskel ]; then
      echo "release.sh: no ruskel target in the cross build" >&2
      exit 1
    else
      echo "(no $target in this build: left out of the zip)"
    fi
  done

  echo "== packing dist/$name.zip"
  stage=dist/stage
  rm -rf "$stage" "dist/$name.zip"
  mkdir -p "$stage/$name/docs"
  cp "$build/app/ruskel.exe" "$stage/$name/"
  if has_target ruskel-check; then cp "$build/tools/check/ruskel-check.exe" "$stage/$name/"; fi
  # The sample configuration drives the demo emulator; it keeps its CR LF ends.
  cp demo/lconfig.ini "$stage/$name/lconfig.ini"
  if has_target demoemu; then cp "$build/demo/demoemu.exe" demo/games.txt "$stage/$name/"; fi
  # The owner's README; the repository's README.md is the developers'.
  cp README-cabinet.md "$stage/$name/README.md"
  cp CHANGELOG.md "$stage/$name/"
  for doc in docs/*.md; do
    if [ -e "$doc" ]; then cp "$doc" "$stage/$name/docs/"; fi
  done
  rmdir "$stage/$name/docs" 2>/dev/null || true

  # Same sources, same zip: fixed timestamps and entry order, no extra fields.
  stamp=$(git log -1 --format=%ct 2>/dev/null || echo 946684800)
  find "$stage/$name" -exec touch -h -d "@$stamp" {} +
  (cd "$stage" && find "$name" | LC_ALL=C sort | zip -X -q -9 "$root/dist/$name.zip" -@)
  rm -rf "$stage"

  echo "== checking the zip"
  rm -rf "${check:?}/$name"
  # python3 rather than unzip, which a fresh Debian lacks.
  python3 -m zipfile -e "dist/$name.zip" "$check"
  status=0
  for required in ruskel.exe lconfig.ini README.md CHANGELOG.md; do
    if [ ! -f "$check/$name/$required" ]; then
      echo "release.sh: $required is missing from the zip" >&2
      status=1
    fi
  done
  if ! cmp -s demo/lconfig.ini "$check/$name/lconfig.ini"; then
    echo "release.sh: lconfig.ini in the zip differs from demo/lconfig.ini" >&2
    status=1
  fi
  # Every link of the zip's documents leads to a file (and heading) inside the zip.
  if ! python3 scripts/check-links.py "$check/$name"; then
    echo "release.sh: the documents in the $flavour zip link to files that are not in it" >&2
    status=1
  fi
  exes=$(find "$check/$name" -name '*.exe' | LC_ALL=C sort)
  # shellcheck disable=SC2086  # one argument per exe; the paths hold no blanks
  ./scripts/check-imports.sh $exes || status=1
  for exe in $exes; do
    base=$(basename "$exe")
    if ! x86_64-w64-mingw32-objdump -f "$exe" | grep -q "file format $format\$"; then
      echo "release.sh: $base in the $flavour zip is not $format" >&2
      status=1
    fi
    if [ "$base" = demoemu.exe ]; then continue; fi
    # RT_VERSION (16) and RT_MANIFEST (24) in the resource directory.
    types=$(x86_64-w64-mingw32-objdump -p "$exe" |
      sed -n 's/^[0-9a-f]*   Entry: ID: 0x0*\([0-9a-f]*\), Value.*/\1/p')
    for type in 10 18; do
      if ! echo "$types" | grep -qx "$type"; then
        echo "release.sh: $base lacks resource type 0x$type (version information or manifest)" >&2
        status=1
      fi
    done
    if ! strings -el "$exe" | grep -A1 -x FileVersion | grep -qx "$version"; then
      echo "release.sh: $base does not carry FileVersion $version" >&2
      status=1
    fi
  done
  size=$(stat -c %s "$check/$name/ruskel.exe")
  if [ "$size" -gt "$max_size" ]; then
    echo "release.sh: ruskel.exe is $size bytes, over $max_size" >&2
    status=1
  fi
  if [ "$status" -ne 0 ]; then
    rm -f "dist/$name.zip"
    exit 1
  fi
  python3 -m zipfile -l "dist/$name.zip"
  echo "== dist/$name.zip is ready ($(stat -c %s "dist/$name.zip") bytes)"
}

# win64 runs on 64-bit Windows only; win32 on both.
# ruskel.exe stays at most 320 KB in 64 bits (312 KB in 2.1.0) and 400 KB in 32 bits (373 KB:
# its exception tables cover every function).
release win64 mingw-w64-x86_64.cmake build-win pei-x86-64 327680
release win32 mingw-w64-i686.cmake build-win32 pei-i386 409600
