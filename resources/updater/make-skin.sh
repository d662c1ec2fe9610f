#!/usr/bin/env bash
# Draws the updater's skin (363 x 127, 24 bits): a light panel, a title band with the
# program's name and a red close mark at pixels 341-353 across, 6-18 down.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
convert -size 363x127 xc:'#f4f6f9' \
  -fill '#2f5d9e' -draw 'rectangle 0,0 362,24' \
  -fill '#4a78b8' -draw 'rectangle 0,22 362,24' \
  -fill white -font DejaVu-Sans-Bold -pointsize 12 -annotate +10+17 'Tarnock Update' \
  -fill '#d22f2f' -draw 'rectangle 341,6 353,18' \
  -stroke white -strokewidth 2 -draw 'line 344,9 350,15' -draw 'line 350,9 344,15' \
  -stroke '#c9d1dc' -strokewidth 1 -fill none -draw 'rectangle 0,0 362,126' \
  -type TrueColor BMP3:"$here/skin.bmp"
