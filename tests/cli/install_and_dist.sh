#!/usr/bin/env bash
# Installs the builder into a temporary prefix and builds the example with the
# installed builder from another folder, without --stub; then packs it with
# scripts/make-dist.sh and checks what the tarball holds.
#   install_and_dist.sh NATIVE_BUILD_DIR SOURCE_DIR STUB
set -euo pipefail
native=$1 source=$2 stub=$3
if [ ! -f "$stub" ]; then echo "no stub at $stub (make windows): skipped"; exit 77; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$native" --prefix "$work/prefix" >/dev/null
for file in bin/palisade share/palisade/palisade-setup.exe share/palisade/palisade.schema.json \
            share/palisade/languages/de.toml share/palisade/languages/zh-CN.toml; do
  [ -f "$work/prefix/$file" ] || fail "the installation lacks $file"
done
cmp -s "$stub" "$work/prefix/share/palisade/palisade-setup.exe" || fail "the installed stub is not the built one"

# The installed builder names its own share folder, wherever the tree lies.
mv "$work/prefix" "$work/moved"
"$work/moved/bin/palisade" --version | grep -qx "stub: $work/moved/share/palisade/palisade-setup.exe" ||
  fail "the moved builder does not take its own stub: $("$work/moved/bin/palisade" --version)"
"$work/moved/bin/palisade" --version | grep -qx "translations: $work/moved/share/palisade/languages" ||
  fail "the moved builder does not take its own translations"

cp -r "$source/examples/hello" "$work/project"
mkdir "$work/elsewhere"
(cd "$work/elsewhere" && "$work/moved/bin/palisade" build ../project/palisade.toml -o hello-setup.exe -q) ||
  fail "the installed builder cannot build the example"
"$work/moved/bin/palisade" inspect "$work/elsewhere/hello-setup.exe" >/dev/null || fail "the result does not read back"

archive=$(bash "$source/scripts/make-dist.sh" "$native" "$work/dist")
listing=$(tar -tzf "$archive")
for file in bin/palisade share/palisade/palisade-setup.exe share/palisade/palisade.schema.json \
            share/palisade/languages/ja.toml; do
  grep -q "^palisade-[^/]*/$file\$" <<<"$listing" || fail "$(basename "$archive") lacks $file"
done
echo "installed, moved, built the example from another folder; $(basename "$archive") holds $(wc -l <<<"$listing") entries"
