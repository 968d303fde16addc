#!/usr/bin/env bash
# Installs the test programs into a Wine prefix, silently, as a user would:
# real NSIS installers (64-bit, its look-alike neighbour, and 32-bit), an MSI
# through msiexec, a per-user registry-only entry and the knowledge-base
# registry fixtures.
#
#   prepare-demo.sh PREFIX WORK_DIR [--no32]
#
# WORK_DIR receives the built installers. --no32 leaves out the 32-bit
# installer (it needs 32-bit Wine, which may run only emulated and slowly).
# Environment: VORLIX_WINE64 and VORLIX_WINESERVER as for wine-run.sh.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 PREFIX WORK_DIR [--no32]" >&2; exit 2; }
prefix=$1 work=$2 with32=1
[ "${3:-}" = --no32 ] && with32=0
here=$(cd "$(dirname "$0")" && pwd)
fixtures=$here/../fixtures
wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY  # silent installers; no window may wait for a click
[ -f "$prefix/system.reg" ] || { echo "prepare-demo: $prefix is not a Wine prefix" >&2; exit 1; }

mkdir -p "$work"
# Icons of our own (ImageMagick, when there): QuillmarkBox's icon file, named by
# its file class's DefaultIcon, and the icon inside Quillmark's program file.
# Their colours are what the GUI tier looks for in each row.
declare -A options=([quillmark64]="" [quillmarkbox64]="" [tallyworks32]="")
if command -v convert >/dev/null &&
  convert -size 32x32 xc:'#1f7a4d' -fill '#f4c542' -draw 'rectangle 8,8 23,23' -fill white -draw 'circle 16,16 16,12' "$work/quillmarkbox.ico" 2>/dev/null &&
  convert -size 32x32 xc:'#2a4fbf' -fill '#ff6a00' -draw 'polygon 4,28 16,4 28,28' "$work/quillmark.ico" 2>/dev/null &&
  makensis -V2 -DOUTFILE="$work/quillmark-program.exe" -DICON="$work/quillmark.ico" "$fixtures/installers/program-with-icon.nsi" >/dev/null; then
  options[quillmarkbox64]=-DICON="$work/quillmarkbox.ico"
  options[quillmark64]=-DPROGRAM="$work/quillmark-program.exe"
fi
for name in quillmark64 quillmarkbox64 tallyworks32; do
  # shellcheck disable=SC2086 # one option or none
  makensis -V2 -DOUTFILE="$work/$name-setup.exe" ${options[$name]} "$fixtures/installers/$name.nsi" >/dev/null
done
(cd "$fixtures/installers" && wixl -a x64 -o "$work/ferrowave.msi" ferrowave.wxs)

for name in quillmark64 quillmarkbox64; do
  timeout -k 10 600 "$wine64" "$work/$name-setup.exe" /S
done
if [ $with32 -eq 1 ] && ! timeout -k 10 900 "$wine64" "$work/tallyworks32-setup.exe" /S; then
  echo "prepare-demo: the 32-bit installer did not run (no 32-bit Wine here?); Tallyworks is left out" >&2
fi
# msiexec and reg take Windows paths.
timeout -k 10 300 "$wine64" msiexec /i "$("$wine64" winepath -w "$work/ferrowave.msi" 2>/dev/null)" /qn
for file in "$fixtures/installers/peruser.reg" "$fixtures"/knowledge/*.reg; do
  timeout -k 10 120 "$wine64" reg import "$("$wine64" winepath -w "$file" 2>/dev/null)" /reg:64 >/dev/null
done
timeout -k 10 120 "$wineserver" -w
