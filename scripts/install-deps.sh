#!/bin/sh
# Installs what building and testing ruskel needs on Debian 12 (run as root).
set -eu
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: run as root (it uses apt-get)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# 32-bit Wine (wine32) runs the 32-bit build's tests; it comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
# The i686 compilers come in both thread models: win32 for the programs, posix
# for the unit tests' GoogleTest (it needs std::mutex).
apt-get install -y -qq --no-install-recommends \
  cmake make g++ libgtest-dev libgmock-dev \
  clang libclang-rt-14-dev \
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 \
  g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix binutils-mingw-w64-i686 \
  wine wine64 wine32:i386 xvfb xauth x11-apps \
  python3 zip file ca-certificates >/dev/null
