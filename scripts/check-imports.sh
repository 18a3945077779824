#!/bin/sh
# Fails when a Windows exe (32-bit or 64-bit) imports anything but system DLLs
# (so it ships alone), or when ruskel.exe or ruskel-check.exe lacks its
# manifest (per-monitor DPI awareness: the coordinates of the options are the
# screen's real pixels). Prints each exe's size, format and imports.
set -eu
# The x86_64 objdump reads 32-bit (pei-i386) exes as well.
objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null 2>&1 || objdump=i686-w64-mingw32-objdump
status=0
for exe in "$@"; do
  format=$("$objdump" -f "$exe" | sed -n 's/.*file format //p')
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  for dll in $dlls; do
    case "$(echo "$dll" | tr 'A-Z' 'a-z')" in
      kernel32.dll | user32.dll | gdi32.dll | winmm.dll | msvcrt.dll | advapi32.dll | \
        shell32.dll | comctl32.dll | ole32.dll | dinput8.dll) ;;
      *) echo "$exe imports $dll, which is not a system DLL" >&2; status=1 ;;
    esac
  done
  case "$(basename "$exe")" in
    ruskel.exe | ruskel-check.exe) manifest=yes ;;
    *) manifest=no ;;
  esac
  if [ "$manifest" = yes ] && ! grep -qa "PerMonitorV2" "$exe"; then
    echo "$exe has no manifest declaring per-monitor DPI awareness" >&2
    status=1
  fi
  echo "$(basename "$exe"): $(stat -c %s "$exe") bytes, $format, imports:" $dlls
done
exit $status
