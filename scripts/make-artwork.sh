#!/usr/bin/env bash
# Draws the stub's artwork with ImageMagick and writes it into src/ui/resources:
# the pages' side and banner pictures (24-bit BMPs), the button pictures
# (64x64, 32-bit with premultiplied alpha, as alpha blending wants), each
# compressed with xz (the stub decodes them at run time: a BMP of these
# shapes is mostly runs of equal bytes, and 212 KB of pictures shrink to
# about 6 KB), and the application icon (16, 24, 32, 48 and 256 pixels).
# Everything is drawn from fixed shapes, so the same ImageMagick and xz give
# the same bytes; BMP has no time stamps, xz stores none, and the icon's PNG
# picture is written without them.
set -euo pipefail

out="${1:-$(cd "$(dirname "$0")/.." && pwd)/src/ui/resources}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

command -v convert >/dev/null || { echo "make-artwork: ImageMagick's convert is needed" >&2; exit 1; }
command -v xz >/dev/null || { echo "make-artwork: xz is needed" >&2; exit 1; }

# One xz stream with a CRC-32 check, as the stub's decoder reads it, with a
# dictionary of the picture's size: the decoder allocates the dictionary the
# stream names (64 MiB for a bare -9e) and refuses more than 17 MiB.
pack() {
  local size; size=$(stat -c %s "$1"); [ "$size" -lt 4096 ] && size=4096
  xz --format=xz --check=crc32 --lzma2=preset=9e,dict="$size" --threads=1 --stdout "$1" >"$2"
}

wood='#c98a3e'
woodShade='#8a5a24'
rail='#6b4318'

# One pointed stake: left edge x, top y, width w, bottom y. The right half is
# drawn darker so that the stake looks round.
stake() {
    local x=$1 top=$2 w=$3 bottom=$4
    local half=$((w / 2)) tip=$((w / 2))
    printf "fill %s polygon %d,%d %d,%d %d,%d %d,%d %d,%d " "$wood" \
        "$x" "$bottom" "$x" "$((top + tip))" "$((x + half))" "$top" "$((x + half))" "$bottom" "$x" "$bottom"
    printf "fill %s polygon %d,%d %d,%d %d,%d %d,%d " "$woodShade" \
        "$((x + half))" "$bottom" "$((x + half))" "$top" "$((x + w))" "$((top + tip))" "$((x + w))" "$bottom"
}

# A row of stakes: first x, stake width, gap, bottom y, then the tops.
palisade() {
    local x=$1 w=$2 gap=$3 bottom=$4
    shift 4
    for top in "$@"; do
        stake "$x" "$top" "$w" "$bottom"
        x=$((x + w + gap))
    done
}

# Writes a packed 24-bit, uncompressed BMP with a plain info header.
true_colour_bmp() {
    convert "$1" -strip -alpha off -type TrueColor -compress none "BMP3:$work/picture.bmp"
    pack "$work/picture.bmp" "$2"
}

# Writes a packed 32-bit BMP whose colours are premultiplied by their alpha.
premultiplied_bmp() {
    convert "$1" -strip \( +clone -background black -alpha remove \) +swap \
        -compose CopyOpacity -composite -define bmp3:alpha=true "BMP3:$work/picture.bmp"
    pack "$work/picture.bmp" "$2"
}

# Side picture, 212x424: evening sky over a palisade.
convert -size 212x424 gradient:'#0c2a47'-'#4f9cc4' \
    -fill '#f5d27a' -draw 'circle 150,110 150,86' \
    -fill '#2e6b3a' -draw 'ellipse 106,470 180,120 0,360' \
    -draw "$(palisade 2 24 6 424 292 280 296 284 300 278 290)" \
    -fill "$rail" -draw 'rectangle 0,334 212,342 rectangle 0,388 212,396' \
    "$work/side.png"
true_colour_bmp "$work/side.png" "$out/side_picture.bmp.xz"

# Banner picture, 600x64: light, so that the banner lines stay readable, with
# a small palisade at the left, below the product name's start.
convert -size 600x64 gradient:'#ffffff'-'#d5e6f1' \
    -fill '#4f9cc4' -draw 'roundrectangle 8,6 150,58 10,10' \
    -draw "$(palisade 18 18 4 58 16 12 18 10 14 20)" \
    -fill "$rail" -draw 'rectangle 14,32 146,36 rectangle 14,46 146,50' \
    "$work/banner.png"
true_colour_bmp "$work/banner.png" "$out/banner_picture.bmp.xz"

# Button pictures, 64x64 on a transparent background.
check() { printf "stroke %s stroke-width %d fill none polyline %s " "$1" "$2" "$3"; }
cross() { printf "stroke %s stroke-width %d line %s line %s " "$1" "$2" "$3" "$4"; }
button() {
    convert -size 64x64 xc:none -draw "stroke-linecap round stroke-linejoin round $1" "$work/$2.png"
    premultiplied_bmp "$work/$2.png" "$out/$2.bmp.xz"
}
button "$(check '#1e8c3a' 10 '10,34 26,50 54,14')" button_next
button "$(cross '#c62828' 10 '14,14 50,50' '50,14 14,50')" button_cancel
button "stroke #9a6b12 stroke-width 2 fill #f2b632 path 'M 6,16 L 24,16 L 30,22 L 58,22 L 58,54 L 6,54 Z' \
    fill #ffd15c path 'M 6,28 L 58,28 L 58,54 L 6,54 Z'" button_browse
button "$(cross '#e57373' 7 '6,8 32,34' '32,8 6,34')$(cross '#c62828' 8 '30,28 58,56' '58,28 30,56')" button_no_to_all
button "$(check '#66bb6a' 7 '4,22 14,32 32,8')$(check '#1e8c3a' 9 '22,40 34,52 60,22')" button_yes_to_all

# Application icon: a palisade on a blue rounded square, drawn at 256 pixels
# and scaled down for the smaller sizes.
convert -size 256x256 xc:none \
    -fill '#1d5f8a' -draw 'roundrectangle 8,8 247,247 40,40' \
    -fill '#4f9cc4' -draw 'roundrectangle 8,8 247,140 40,40 rectangle 8,60 247,140' \
    -draw "$(palisade 30 36 4 228 64 48 40 52 68)" \
    -fill "$rail" -draw 'rectangle 26,136 230,148 rectangle 26,188 230,200' \
    "$work/icon256.png"
for size in 48 32 24 16; do
    convert "$work/icon256.png" -filter Lanczos -resize "${size}x${size}" "$work/icon$size.png"
done
convert "$work/icon256.png" "$work/icon48.png" "$work/icon32.png" "$work/icon24.png" "$work/icon16.png" \
    -strip -depth 8 -define png:exclude-chunks=date,time "$out/palisade.ico"
