#!/usr/bin/env bash
# The main job: build the example installer and run it silently under Wine,
# showing what it did.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD:-$here/build}
prefix=$build/native/wineprefix
bash "$here/scripts/wine-prefix.sh" create "$prefix"
export WINEPREFIX=$prefix WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=" WINEDEBUG=-all,warn+seh
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY

stub=$build/windows/palisade-setup.exe
echo "== $stub: $(stat -c %s "$stub") bytes"
echo "== running it silently under Wine (no payload is built into the bare stub yet)"
set +e
wine "$stub" /silent 2>"$build/demo-wine.log"
code=$?
set -e
echo "== exit code: $code"
echo "== what the installer reported (its debug output):"
sed -n 's/.*:warn:seh:OutputDebugStringA "\(.*\)"$/\1/p' "$build/demo-wine.log" | sed 's/\\r\\n/\n/g; s/\\n$//'
bash "$here/scripts/wine-prefix.sh" stop "$prefix"
