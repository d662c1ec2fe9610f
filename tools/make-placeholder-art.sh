#!/usr/bin/env bash
# Regenerates the placeholder skins and icons of the main window in resources/art/.
# Palette BMP files keep the committed binaries small; the button strips hold four
# equal frames side by side (normal, hover, pressed, inactive) on magenta (0xFF00FF),
# the colour the buttons leave unpainted.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$here/resources/art
font=${TARNOCK_ART_FONT:-/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

bmp() {  # bmp SRC DEST: 8-bit palette, uncompressed, no alpha
  convert "$1" -alpha off -type Palette -colors 200 -compress None "BMP3:$2"
}

# strip NAME WIDTH HEIGHT LABEL POINTSIZE BASECOLOUR
strip() {
  local name=$1 w=$2 h=$3 label=$4 size=$5 base=$6
  local frames=()
  local i fill text dx
  for i in 0 1 2 3; do
    case $i in
      0) fill=$base; text=white; dx=0 ;;
      1) fill="$base"; text="#FFE680"; dx=0 ;;
      2) fill="#1F3A66"; text=white; dx=1 ;;
      3) fill="#A8A8A8"; text="#E8E8E8"; dx=0 ;;
    esac
    local extra=()
    [ $i = 1 ] && extra=(-fill none -stroke "#FFE680" -strokewidth 2 -draw "roundrectangle 1,1 $((w-2)),$((h-2)) 6,6")
    # No anti-aliasing on the outline: blended edge pixels would not be transparent.
    convert -size "${w}x${h}" xc:"#FF00FF" +antialias \
      -fill "$fill" -stroke none -draw "roundrectangle 0,0 $((w-1)),$((h-1)) 6,6" \
      "${extra[@]}" -antialias \
      -font "$font" -pointsize "$size" -fill "$text" -stroke none -gravity center \
      -annotate "+${dx}+${dx}" "$label" \
      "$tmp/$name-$i.png"
    frames+=("$tmp/$name-$i.png")
  done
  convert "${frames[@]}" +append "$tmp/$name.png"
  bmp "$tmp/$name.png" "$out/$name.bmp"
}

# Category buttons (left column) and row buttons (below the list).
strip spyware    88 26 "스파이웨어"   12 "#2E5C9E"
strip toolbar    88 26 "툴바"         12 "#2E5C9E"
strip messenger  88 26 "메신저"       12 "#2E5C9E"
strip p2p        88 26 "P2P/웹하드"   12 "#2E5C9E"
strip allprograms 88 26 "전체 프로그램" 12 "#2E5C9E"
strip bho        88 26 "BHO"          12 "#2E5C9E"
strip startup    88 26 "시작 프로그램" 12 "#2E5C9E"
strip activex    88 26 "ActiveX"      12 "#2E5C9E"
strip copyright  88 26 "정품 SW"      12 "#3A7D44"
strip remove     70 26 "Tarnock로 밀기" 9 "#B03A2E"
strip search     70 26 "검색"         12 "#2E5C9E"
strip info       70 26 "정보"         12 "#2E5C9E"
strip exit       70 26 "종료"         12 "#555555"

# Background: light panel with a title band; drawn stretched over the whole client area.
convert -size 160x120 gradient:"#EAF1FB"-"#C9D9EE" \
  -fill "#27497F" -draw "rectangle 0,0 159,7" \
  -fill "#DCE6F5" -draw "rectangle 3,11 22,112" \
  +antialias "$tmp/background.png"
bmp "$tmp/background.png" "$out/background.bmp"

# Loading picture, 223 x 81.
convert -size 223x81 xc:"#FFFFFF" -fill none -stroke "#27497F" -strokewidth 3 -draw "rectangle 1,1 221,79" \
  -font "$font" -pointsize 15 -fill "#27497F" -stroke none -gravity center \
  -annotate +0-10 "검색중입니다" -pointsize 11 -annotate +0+14 "잠시만 기다려 주세요..." \
  "$tmp/loading.png"
bmp "$tmp/loading.png" "$out/loading.bmp"

# icon NAME COLOUR GLYPH
icon() {
  local name=$1 colour=$2 glyph=$3 s
  local sizes=()
  for s in 16 32; do
    convert -size "${s}x${s}" xc:none -fill "$colour" -draw "roundrectangle 0,0 $((s-1)),$((s-1)) $((s/4)),$((s/4))" \
      -font "$font" -pointsize $((s*3/4)) -fill white -gravity center -annotate +0+0 "$glyph" \
      "$tmp/$name-$s.png"
    sizes+=("$tmp/$name-$s.png")
  done
  convert "${sizes[@]}" "$out/$name.ico"
}
icon tarnock "#27497F" "T"
icon info "#2E5C9E" "i"
icon website "#3A7D44" "W"
icon update "#C77C0E" "U"
icon menu "#555555" "≡"
icon style "#7B3FA0" "S"
ls -l "$out"
