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
folder="$prefix/drive_c/Program Files (x86)/Palisade Examples/Hello"
# Every demo starts from a machine without the example installed.
rm -rf "$folder"
WINEDEBUG=-all wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hello' /f /reg:32 \
  >/dev/null 2>&1 || true
echo "== running it silently under Wine"
set +e
wine "$installer" /silent 2>"$build/demo-wine.log"
code=$?
set -e
echo "== exit code: $code (every installation run ends with 1)"
echo "== what the installer reported (its debug output):"
sed -n 's/.*:warn:seh:OutputDebugStringA "\(.*\)"$/\1/p' "$build/demo-wine.log" | tr -d '\n' | sed 's/\\r\\n/\n/g; s/\\n/\n/g'
echo
echo "== the installed tree (C:\\Program Files (x86)\\Palisade Examples\\Hello)"
(cd "$folder" && find . -type f -printf '%10s  %p\n' | sort -k2)
echo "== Install.log"
sed '1s/^\xEF\xBB\xBF//' "$folder/uninstall/Install.log" | tr -d '\r'
echo "== the product's entry in the list of installed programs"
# Wine's reg query cannot print a REG_QWORD ("Session"); the export shows its bytes.
WINEDEBUG=-all wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hello' /reg:32 | tr -d '\r' |
  grep -v 'REG_QWORD'
WINEDEBUG=-all wine reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hello' \
  "$build/demo-key.reg" /reg:32 /y >/dev/null
iconv -f utf-16 -t utf-8 "$build/demo-key.reg" | tr -d '\r' | grep '^"Session"=' | sed 's/^/    (REG_QWORD, little-endian) /'

echo "== uninstalling it as an admin's tool would (the QuietUninstallString: /silent /u:\"Hello\")"
set +e
wine "$folder/uninstall/uninstall.exe" /silent /u:Hello 2>"$build/demo-uninstall.log"
code=$?
set -e
echo "== exit code: $code (0: the example does not ask for the deployment exit codes)"
# The uninstaller's last act starts a script that deletes it once it has exited.
for _ in $(seq 60); do [ -e "$folder" ] || break; sleep 1; done
echo "== what is left of the product"
if [ -e "$folder" ]; then (cd "$folder" && find . -printf '  %p\n'); else echo "  nothing: the installation folder is gone"; fi
if WINEDEBUG=-all wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hello' /reg:32 \
  >/dev/null 2>&1; then
  echo "  the product key is still there"
else
  echo "  nothing: the product key is gone"
fi
bash "$here/scripts/wine-prefix.sh" stop "$prefix"
