#!/bin/sh
# Installs what building and testing ruskel needs on Debian 12 (run as root).
set -eu
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: run as root (it uses apt-get)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# 32-bit Wine (wine32) runs the 32-bit build's tests; it comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
# On a fresh machine apt's own daily update may hold its locks for minutes, and
# apt-get gives up at once. Installs wait through DPkg::Lock::Timeout; the
# lists lock of "update" ignores that setting, so update is tried again while
# the lock is what stops it. A mirror caught syncing ("File has unexpected
# size") fails the update for a minute or two: it is tried again, and after
# that the install goes on with the lists at hand (it fails by itself if they
# cannot serve).
apt_wait="-o DPkg::Lock::Timeout=900"
tries=0
fetch_tries=0
until out=$(apt-get update -qq 2>&1); do
  case $out in
    *"Could not get lock"*)
      tries=$((tries + 1))
      if [ "$tries" -ge 90 ]; then echo "$out" >&2; exit 1; fi
      [ "$tries" -eq 1 ] && echo "install-deps.sh: another apt holds its lock; waiting" >&2
      sleep 10 ;;
    *)
      fetch_tries=$((fetch_tries + 1))
      if [ "$fetch_tries" -ge 6 ]; then
        echo "$out" >&2
        echo "install-deps.sh: apt-get update keeps failing; going on with the lists at hand" >&2
        out=""
        break
      fi
      [ "$fetch_tries" -eq 1 ] && echo "install-deps.sh: apt-get update failed; trying again" >&2
      sleep 20 ;;
  esac
done
[ -z "$out" ] || echo "$out"
# The i686 compilers come in both thread models: win32 for the programs, posix
# for the unit tests' GoogleTest (it needs std::mutex).
apt-get $apt_wait install -y -qq --no-install-recommends \
  cmake make ninja-build g++ libgtest-dev libgmock-dev \
  clang libclang-rt-14-dev \
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 \
  g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix binutils-mingw-w64-i686 \
  wine wine64 xvfb xauth x11-apps \
  python3 zip file ca-certificates >/dev/null

# 32-bit Wine runs only where the kernel runs 32-bit programs. Where it
# cannot, an installed wine32 would still be chosen by the wine command and
# every Wine program would fail with "Exec format error": take it out again,
# so that Wine runs 64-bit and the 32-bit tests are skipped. The finding is
# kept, so that later runs on this machine do not install it again.
no32=/var/cache/ruskel-kernel-runs-no-32-bit
if [ ! -e "$no32" ] && ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  apt-get $apt_wait install -y -qq --no-install-recommends wine32:i386 >/dev/null
fi
if dpkg -s wine32:i386 >/dev/null 2>&1 && ! ./scripts/wine32-runs.sh; then
  echo "install-deps.sh: this kernel cannot run 32-bit programs; 32-bit Wine removed" >&2
  apt-get $apt_wait remove -y -qq wine32:i386 >/dev/null
  touch "$no32"
fi
