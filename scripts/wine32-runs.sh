#!/bin/sh
# Exits 0 when 32-bit Wine is installed and this kernel can run it: some
# kernels are built without 32-bit support, and 32-bit programs then fail to
# start at all.
loader=/usr/lib/wine/wine
[ -x "$loader" ] && "$loader" --version >/dev/null 2>&1
