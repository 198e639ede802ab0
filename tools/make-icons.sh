#!/bin/bash
# Regenerates the toolbar icons, the window icon and the hand cursor in resources/.
# The outputs are committed, so this only needs running after changing a drawing.
# Needs ImageMagick 6 (Debian package imagemagick).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
res="$here/../resources"
mkdir -p "$res/icons"

# /usr/local/bin may hold a different convert; always use the system one.
IM=/usr/bin/convert
OUTLINE='#202020'

# Draws on a transparent 32x32 canvas and writes a single 32-bit BMP icon entry.
# ImageMagick puts pixel centres on whole coordinates, so one-pixel outlines
# drawn there stay crisp.
icon() {
  local out=$1
  shift
  "$IM" -size 32x32 xc:none -antialias "$@" -type TrueColorAlpha -define icon:auto-resize=32 "$out"
}

# Window icon: deliberately empty, so the title bar shows no picture.
icon "$res/icons/folianto.ico" -alpha set -channel A -evaluate set 0 +channel

# Add files: a dog-eared page marked PDF with a red plus.
icon "$res/icons/add-files.ico" \
  -stroke "$OUTLINE" -strokewidth 1 -fill white \
  -draw 'polygon 4,1 17,1 24,8 24,28 4,28' \
  -fill '#d8d8d8' -draw 'polygon 17,1 17,8 24,8' \
  -stroke none -fill '#c01818' -font DejaVu-Sans-Condensed-Bold -pointsize 8 \
  -draw 'text 6,17 "PDF"' \
  -stroke '#7a0000' -fill '#e02020' \
  -draw 'polygon 21,17 26,17 26,21 30,21 30,26 26,26 26,30 21,30 21,26 17,26 17,21 21,21'

# Join: a red tape dispenser; roll at the back, serrated cutter at the nose.
icon "$res/icons/join.ico" \
  -stroke "$OUTLINE" -strokewidth 1 -fill '#d42020' \
  -draw 'polygon 11,5 20,11 28,17 30,21 28,25 11,25' \
  -draw 'circle 11,15 11,4' \
  -fill '#9a1010' -draw 'rectangle 2,25 30,29' \
  -fill '#e8d49a' -draw 'circle 11,15 11,8' \
  -fill '#808080' -draw 'circle 11,15 11,12' \
  -stroke '#c8b070' -strokewidth 2 -draw 'line 15,9 28,17' \
  -stroke "$OUTLINE" -strokewidth 1 -fill '#c0c0c0' \
  -draw 'polygon 26,16 27,14 28,16 29,14 30,16 31,14 31,18 26,18'

# Move up / move down: green triangles with a black outline.
arrow() {
  icon "$1" -stroke black -strokewidth 1 -fill '#30b030' -draw "polygon $2"
}
arrow "$res/icons/move-up.ico" '15.5,3 29,27 2,27'
arrow "$res/icons/move-down.ico" '2,4 29,4 15.5,28'

# Add folder: an open yellow folder with white sheets sticking out.
icon "$res/icons/add-folder.ico" \
  -stroke "$OUTLINE" -strokewidth 1 -fill '#d8a820' \
  -draw 'polygon 1,5 10,5 12,7 27,7 27,27 1,27' \
  -fill white \
  -draw 'polygon 5,3 20,2 22,20 6,20' \
  -draw 'polygon 9,5 25,5 25,20 9,20' \
  -stroke '#a0a0a0' -draw 'line 12,9 23,9' -draw 'line 12,12 23,12' \
  -stroke "$OUTLINE" -fill '#f8d040' \
  -draw 'polygon 6,13 31,13 27,27 1,27'

# Hand cursor, index finger up. Shapes lie on pixel edges and are stroked 2 px
# wide first, then filled without stroke, so exactly one black pixel of the
# union's outline remains around them.
hand_shapes=(
  -draw 'roundrectangle 8.5,0.5 13.5,17.5 2.5,2.5'
  -draw 'roundrectangle 13.5,9.5 17.5,19.5 1.5,1.5'
  -draw 'roundrectangle 17.5,10.5 21.5,19.5 1.5,1.5'
  -draw 'roundrectangle 21.5,12.5 24.5,19.5 1.5,1.5'
  -draw 'polygon 8.5,16.5 24.5,16.5 24.5,23.5 21.5,28.5 12.5,28.5 8.5,24.5'
  -draw 'polygon 8.5,24.5 2.5,16.5 2.5,14.5 4.5,13.5 6.5,14.5 9.5,18.5'
)
hot_x=11 hot_y=0
tmp=$(mktemp --suffix=.ico)
trap 'rm -f "$tmp"' EXIT
icon "$tmp" \
  -stroke black -strokewidth 2 -fill black "${hand_shapes[@]}" \
  -stroke none -fill white "${hand_shapes[@]}" \
  -stroke black -strokewidth 1 -draw 'line 14,12 14,17' -draw 'line 18,13 18,17' \
  -draw 'line 22,15 22,17'
# A .cur is an .ico with resource type 2 and the hotspot where an icon keeps
# its planes and bit count; patch those words (all little-endian).
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8)))"; }
{ le16 2; } | dd of="$tmp" bs=1 seek=2 conv=notrunc status=none
{ le16 "$hot_x"; le16 "$hot_y"; } | dd of="$tmp" bs=1 seek=10 conv=notrunc status=none
install -m 644 "$tmp" "$res/HAND-M.CUR"
