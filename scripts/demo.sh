#!/usr/bin/env bash
# The main job: build the example installer, show what it holds, and run it
# silently under Wine, showing what it did.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD:-$here/build}
prefix=$build/native/wineprefix
palisade=$build/native/palisade
installer=$build/hello-setup.exe

echo "== building the example installer"
"$palisade" build "$here/examples/hello/palisade.toml" -o "$installer"
echo "== $installer: $(stat -c %s "$installer") bytes (stub alone: $(stat -c %s "$build/windows/palisade-setup.exe") bytes)"
echo "== what it holds (palisade inspect)"
"$palisade" inspect "$installer"

bash "$here/scripts/wine-prefix.sh" create "$prefix" >/dev/null
export WINEPREFIX=$prefix WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=" WINEDEBUG=-all,warn+seh
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
echo "== running it silently under Wine"
set +e
wine "$installer" /silent 2>"$build/demo-wine.log"
code=$?
set -e
echo "== exit code: $code (every installation run ends with 1)"
echo "== what the installer reported (its debug output):"
sed -n 's/.*:warn:seh:OutputDebugStringA "\(.*\)"$/\1/p' "$build/demo-wine.log" | tr -d '\n' | sed 's/\\r\\n/\n/g; s/\\n/\n/g'
echo
bash "$here/scripts/wine-prefix.sh" stop "$prefix"
