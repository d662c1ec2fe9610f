#!/usr/bin/env bash
# Regenerates the result list's header skin (bitmap 144) and the default program icon
# (icon 180) in resources/list/.
# The skin is 2 x 19 pixels: column 0 the header's vertical gradient, column 1 the darker
# edge that the header copies to both sides of every column; row 0 is the top line.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$here/resources/list
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 1x19 gradient:"#FFFFFF"-"#DCE3EC" "$tmp/fill.png"
convert -size 1x19 gradient:"#C9D3DF"-"#9AA8B8" "$tmp/edge.png"
convert "$tmp/fill.png" "$tmp/edge.png" +append -fill "#8FA3BC" -draw "point 0,0 point 1,0" \
  -alpha off -type TrueColor -compress None "BMP3:$out/header.bmp"

font=${TARNOCK_ART_FONT:-/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf}
sizes=()
for s in 16 32; do
  convert -size "${s}x${s}" xc:none \
    -fill "#E9EEF5" -stroke "#5A6F8C" -strokewidth 1 -draw "rectangle 1,$((s/8)) $((s-2)),$((s-2))" \
    -fill "#5A6F8C" -stroke none -draw "rectangle 1,$((s/8)) $((s-2)),$((s/8+s/5))" \
    -font "$font" -pointsize $((s/2)) -fill "#27497F" -gravity center -annotate +0+$((s/10)) "P" \
    "$tmp/program-$s.png"
  sizes+=("$tmp/program-$s.png")
done
convert "${sizes[@]}" "$out/program.ico"
ls -l "$out"
