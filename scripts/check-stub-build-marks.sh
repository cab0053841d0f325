#!/usr/bin/env bash
# Checks that the stub carries nothing of the build that made it: the PE
# header's TimeDateStamp is 0, and neither the source folder nor the build
# folder appears in its bytes. (tools/check-stub-reproducible.sh builds the
# stub twice and compares; this is the quick check for every test run.)
#   check-stub-build-marks.sh STUB SOURCE_DIR BUILD_DIR
set -euo pipefail
stub=$1 source=$2 build=$3
if [ ! -f "$stub" ]; then echo "no stub at $stub (make windows)"; exit 1; fi
pe=$(od -An -tu4 -j60 -N4 "$stub" | tr -d ' ')
stamp=$(od -An -tu4 -j$((pe + 8)) -N4 "$stub" | tr -d ' ')
status=0
if [ "$stamp" != 0 ]; then
  echo "FAIL: the PE header's TimeDateStamp is $stamp, not 0 (link with --no-insert-timestamp)"
  status=1
fi
for folder in "$source" "$build"; do
  if grep -q -a -F "$folder" "$stub"; then
    echo "FAIL: $stub holds the path $folder"
    status=1
  fi
done
[ $status = 0 ] && echo "no time stamp, no build paths in $stub"
exit $status
