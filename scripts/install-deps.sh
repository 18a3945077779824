#!/bin/sh
# Installs what building and testing ruskel needs on Debian 12 (run as root).
set -eu
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: run as root (it uses apt-get)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  cmake make g++ libgtest-dev libgmock-dev \
  clang libclang-rt-14-dev \
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 \
  wine wine64 xvfb xauth x11-apps \
  python3 zip file ca-certificates >/dev/null
