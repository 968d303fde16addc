#!/usr/bin/env bash
# Regenerates art/out/ from the SVG sources in art/src/ for every line of art/manifest.txt.
# The outputs are committed, so only someone changing the artwork needs to run this.
# Needs rsvg-convert (librsvg2-bin), ImageMagick and the Open Sans font (fonts-open-sans).
#
# Sources: art/src/<name with \ as __>.svg, or a template named in art/src/pictures.txt
# (`name|template.svg|KEY=value|...`; every @KEY@ in the template is replaced).
# Animated GIFs come from the template of their row, in which @T@ is the frame's phase
# (0 <= T < 1) and @A@ the same as an angle in degrees; every frame is rendered at the
# GIF's own size, since each scale has its own resource name.
#
# Usage: rasterise-art.sh [REGEX]   with a regex, only the matching names are redrawn.
# Either way a contact sheet of the 100 % pictures is left in build/art/contact-sheet.png.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true

root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/art/src
out=$root/art/out
scales=(100 125 150 175 200)
ico_sizes=(16 24 32 48 64 128 256)
gif_frames=24
gif_delay=5 # hundredths of a second per frame

for tool in rsvg-convert convert montage; do
  command -v "$tool" >/dev/null || { echo "rasterise-art: $tool is missing" >&2; exit 1; }
done
fc-list | grep -q "Open Sans" || echo "rasterise-art: Open Sans is not installed; text falls back to DejaVu Sans" >&2

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Prints the SVG text of a picture: its template row from pictures.txt, else its own file.
# @MARK@ and @BAND@ stand for the shared product mark and brand band (*.svgpart).
picture_svg() {
  local name=$1 safe=$2 row text pair
  local fields=("" "$safe.svg")
  row=$(n="$name" awk -F'|' '$1 == ENVIRON["n"] { print; exit }' "$src/pictures.txt")
  [[ -n $row ]] && IFS='|' read -r -a fields <<<"$row"
  text=$(<"$src/${fields[1]}")
  text=${text//@MARK@/$(<"$src/mark.svgpart")}
  text=${text//@BAND@/$(<"$src/band.svgpart")}
  for pair in "${fields[@]:2}"; do
    text=${text//@${pair%%=*}@/${pair#*=}}
  done
  printf '%s\n' "$text"
}

# Rounds w * scale / 100 half up, the rule the resource loader expects.
scaled() { echo $(( ($1 * $2 + 50) / 100 )); }

render_png() {
  local name=$1 safe=$2 w=$3 h=$4 scale
  picture_svg "$name" "$safe" >"$tmp/$safe.svg"
  for scale in "${scales[@]}"; do
    rsvg-convert -w "$(scaled "$w" "$scale")" -h "$(scaled "$h" "$scale")" \
      -o "$tmp/$safe@$scale.png" "$tmp/$safe.svg"
    # Drops metadata and the rendering time so reruns give identical files.
    convert "$tmp/$safe@$scale.png" -strip -define png:exclude-chunks=date,time "PNG32:$out/$safe@$scale.png"
  done
}

render_gif() {
  local name=$1 safe=$2 w=$3 h=$4 frame phase angle
  picture_svg "$name" "$safe" >"$tmp/$safe.svg"
  local frames=()
  for ((frame = 0; frame < gif_frames; frame++)); do
    phase=$(awk -v f="$frame" -v n="$gif_frames" 'BEGIN { printf "%.4f", f / n }')
    angle=$(awk -v f="$frame" -v n="$gif_frames" 'BEGIN { printf "%.2f", 360 * f / n }')
    sed -e "s/@T@/$phase/g" -e "s/@A@/$angle/g" "$tmp/$safe.svg" >"$tmp/frame.svg"
    rsvg-convert -w "$w" -h "$h" -b '#F1F1F1' -o "$tmp/$safe-$frame.png" "$tmp/frame.svg"
    frames+=("$tmp/$safe-$frame.png")
  done
  convert -delay "$gif_delay" -loop 0 "${frames[@]}" -strip "$out/$safe.gif"
}

render_ico() {
  local safe=$1 size pngs=()
  picture_svg "$safe" "$safe" >"$tmp/$safe.svg"
  picture_svg "${safe}_small" "${safe}_small" >"$tmp/${safe}_small.svg"
  for size in "${ico_sizes[@]}"; do
    # Small sizes have their own drawing on the pixel grid so the glyph stays crisp.
    local svg=$tmp/$safe.svg
    [[ $size -le 24 ]] && svg=$tmp/${safe}_small.svg
    rsvg-convert -w "$size" -h "$size" -o "$tmp/$safe-$size.png" "$svg"
    pngs+=("$tmp/$safe-$size.png")
  done
  convert "${pngs[@]}" "$out/$safe.ico"
}

contact_sheet() {
  local sheet=$root/build/art/contact-sheet.png tiles=() file
  mkdir -p "$(dirname "$sheet")"
  for file in "$out"/*@100.png "$out"/*.gif "$out"/*.ico; do
    case $file in
      *.gif) file="${file}[0]" ;;
      *.ico) file="${file}[$((${#ico_sizes[@]} - 1))]" ;;
    esac
    tiles+=("$file")
  done
  montage -background '#9A9A9A' -fill white -pointsize 11 -label '%t' "${tiles[@]}" \
    -tile 6x -geometry '250x130>+8+8' "$sheet"
  echo "rasterise-art: contact sheet $sheet"
}

only=${1:-}
[[ -z $only ]] && rm -rf "$out"
mkdir -p "$out"
while read -r name w h kind; do
  [[ -z $name ]] && continue
  [[ -n $only && ! $name =~ $only ]] && continue
  safe=${name//\\/__}
  case $kind in
    png) render_png "$name" "$safe" "$w" "$h" ;;
    gif) render_gif "$name" "$safe" "$w" "$h" ;;
    ico) render_ico "$safe" ;;
    *) echo "rasterise-art: unknown kind '$kind' for $name" >&2; exit 1 ;;
  esac
done <"$root/art/manifest.txt"
contact_sheet
echo "rasterise-art: $(find "$out" -type f | wc -l) files in $out ($(du -sh "$out" | cut -f1))"
