#!/usr/bin/env bash
# Checks that the stub is a 32-bit GUI executable importing only Windows' own
# DLLs, and of those only the ones the system always takes from its own folder:
# the known DLLs, and comctl32, which the manifest binds to the system's
# side-by-side assembly. Any other library is loaded at run time from the
# system folder by full path (a static import would be searched for in the
# installer's folder first, usually Downloads).
set -euo pipefail
stub=$1
dump=$(i686-w64-mingw32-objdump -p "$stub")
grep -q '^Magic[[:space:]]*010b[[:space:]]*(PE32)' <<<"$dump" || { echo "not a PE32 image"; exit 1; }
grep -q '^Subsystem[[:space:]]*00000002[[:space:]]*(Windows GUI)' <<<"$dump" || { echo "not a GUI executable"; exit 1; }
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|msvcrt|shlwapi|ws2_32|rpcrt4|setupapi|psapi|comctl32)\.dll$'
status=0
while read -r dll; do
  if ! grep -qiE "$allowed" <<<"$dll"; then echo "unexpected import: $dll"; status=1; fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
[ $status -eq 0 ] && echo "stub imports: $(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr '\n' ' ')"
exit $status
