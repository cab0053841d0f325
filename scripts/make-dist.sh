#!/usr/bin/env bash
# Installs the builder into a staging folder and packs it:
#   scripts/make-dist.sh NATIVE_BUILD_DIR OUTPUT_DIR
# writes OUTPUT_DIR/palisade-VERSION-linux-ARCH.tar.gz holding
# palisade-VERSION/bin/palisade and palisade-VERSION/share/palisade/ (stub,
# translations, schema). The stub and the builder must be built already.
# The archive is reproducible: names sorted, owner 0, and every time stamp
# SOURCE_DATE_EPOCH (else the time of the last commit).
set -euo pipefail
native=$(cd "$1" && pwd)
output=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=$("$native/palisade" --version | sed -n 's/^palisade \([^ ]*\).*/\1/p')
name=palisade-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$native" --prefix "$stage/$name" --strip >/dev/null
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || date +%s)}
archive=$output/$name-linux-$(uname -m).tar.gz
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$epoch" -C "$stage" -cf - "$name" | gzip -n -9 >"$archive"
echo "$archive"
