#!/bin/sh
# Prints "-G Ninja" for a new build folder when ninja is installed (it starts
# the compilers sooner and checks a built tree faster than make); prints
# nothing for a folder already set up, which keeps the generator it has.
#
#   cmake -S . -B <folder> $(scripts/generator.sh <folder>) ...
if [ ! -f "$1/CMakeCache.txt" ] && command -v ninja >/dev/null 2>&1; then
  echo "-G Ninja"
fi
