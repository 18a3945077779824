#!/bin/sh
# Fails when a Windows exe imports anything but system DLLs (so it ships alone).
set -eu
status=0
for exe in "$@"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  for dll in $dlls; do
    case "$(echo "$dll" | tr 'A-Z' 'a-z')" in
      kernel32.dll | user32.dll | gdi32.dll | winmm.dll | msvcrt.dll | advapi32.dll | \
        shell32.dll | comctl32.dll | ole32.dll) ;;
      *) echo "$exe imports $dll, which is not a system DLL" >&2; status=1 ;;
    esac
  done
  echo "$(basename "$exe"): $(stat -c %s "$exe") bytes, imports:" $dlls
done
exit $status
