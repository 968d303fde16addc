#!/usr/bin/env bash
# Times the inventory scan under Wine against the registry floor program and
# prints their ratio on two prefixes.
#
#   bench/wine-scan-ratio.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR is a Windows build folder (default build/win64) holding
# vorlix-cli.exe and vorlix-scan-floor.exe; RUNS the counted runs of each
# program (default 11, after one warm-up). Each prefix holds 3,000 Uninstall
# entries of seven values, their folders and program files, and the prefix's
# own classes, and is made once below build/scan-ratio and kept:
#   programs  every folder "Program N" right below Program Files;
#   machine   as a user's machine looks (scan-machine.awk, generated from
#             VORLIX_SCAN_SEED, default 22): vendor folders of every length,
#             both views and the user's hive, Windows Installer products, a
#             tenth stale, a few entries naming their folder by its 8.3 alias.
# VORLIX_SCAN_PREFIXES picks them (default "programs machine").
#
# Method: all programs run in one prefix against one wineserver kept alive for
# the whole measurement, in turn (floor start, floor, env, list), so machine
# drift hits all of them alike. Wall-clock times of each run:
#   scan work  = vorlix-cli list --json  - vorlix-cli env   (start-up, folders)
#   floor work = vorlix-scan-floor       - vorlix-scan-floor --startup
#   ratio      = scan work / floor work, run by run; the median is printed
# The JSON list also names each program's installer engine, which for an
# entry the registry does not explain means opening its uninstaller; the
# floor opens no file. So the table's list (vorlix-cli list), the scan alone,
# is timed too and its ratio printed beside ("scan alone").
# (a busy machine slows neighbouring runs alike, so run-by-run ratios drift
# less than ratios of medians).
#
# Each registry call is a round trip to the wineserver. With the server and
# the program on two processors of a virtual machine, every round trip waits
# for the other processor to wake (tens of microseconds, as the host schedules
# it), and where the scheduler places the two decides the figure: the same
# floor took 0.8 to 2.0 s in one session. The measurement therefore runs twice:
# "free placement" as the system places the processes, and "one CPU" with the
# wineserver and every program on one processor, where a round trip is a
# plain switch and the time is the work the calls and the program make
# (repeatable to a few per cent). The last line, the ratio the goal is held
# to, is the one-CPU ratio of the last prefix. VORLIX_SCAN_PLACEMENT=one or
# free runs one kind.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
runs=${2:-11}
entries=3000
seed=${VORLIX_SCAN_SEED:-22}
wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}
work=$root/build/scan-ratio

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY

cli=$build/bin/vorlix-cli.exe
floor=$build/bin/vorlix-scan-floor.exe
for exe in "$cli" "$floor"; do
  [ -f "$exe" ] || { echo "missing $exe (cmake --build --preset win64)" >&2; exit 1; }
done

# The "programs" prefix: one Uninstall entry in .reg form; every tenth in the
# user's hive, every second machine entry in the 32-bit view, every fourth
# named by a GUID; each folder "Program N" right below Program Files.
write_programs() {
  awk -v count="$entries" 'BEGIN {
    print "Windows Registry Editor Version 5.00"
    for (i = 0; i < count; i++) {
      root = (i % 10 == 3) ? "HKEY_CURRENT_USER\\SOFTWARE" : (i % 2 ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node" : "HKEY_LOCAL_MACHINE\\SOFTWARE")
      guid = sprintf("{%08d-ABCD-4EF0-9123-4567%08d}", 10000000 + i, i)
      name = (i % 4 == 0) ? guid : "Program " i
      folder = "C:\\\\Program Files\\\\Program " i "\\\\"
      uninstall = (i % 4 == 0) ? "MsiExec.exe /X" guid : "\\\"" folder "unins000.exe\\\" /SILENT"
      printf "\n[%s\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s]\n", root, name
      printf "\"DisplayName\"=\"Program %d\"\n", i
      printf "\"Publisher\"=\"Publisher %d\"\n", i % 97
      printf "\"DisplayVersion\"=\"1.%d\"\n", i % 13
      printf "\"InstallLocation\"=\"%s\"\n", folder
      printf "\"UninstallString\"=\"%s\"\n", uninstall
      printf "\"DisplayIcon\"=\"%sprogram.exe,0\"\n", folder
      printf "\"EstimatedSize\"=dword:%08x\n", 1000 + i
    }
  }'
}

# A .reg file in the UTF-16 form regedit writes, so names beyond ASCII survive.
utf16() { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; }

# The uninstallers the machine prefix's programs carry, as large as real ones
# (their engine is told from their bytes): an NSIS uninstaller made here, and
# for the others a Windows program that is no NSIS one.
make_uninstallers() {
  command -v makensis >/dev/null || { echo "makensis is needed for the machine prefix (apt-get install nsis)" >&2; exit 1; }
  printf '%s\n' 'OutFile "nsis.exe"' 'RequestExecutionLevel user' 'Section' 'SectionEnd' >"$dir/uninstaller.nsi"
  (cd "$dir" && makensis -V1 uninstaller.nsi >/dev/null)
  cp "$floor" "$dir/plain.exe"
}

# The Windows folders listed in $1 ("folder<TAB>uninstaller<TAB>engine") made
# in the prefix, each with its program and its uninstaller. The uninstallers
# are hard links to the two made above: as large as real ones, at no cost in
# disk.
make_folders() {
  local folder uninstaller engine unix
  while IFS=$'\t' read -r folder uninstaller engine; do
    unix=$WINEPREFIX/drive_c/$(printf '%s' "${folder#C:\\}" | tr '\\' /)
    mkdir -p "$unix"
    : >"$unix/program.exe"
    [ -z "$uninstaller" ] || ln -f "$dir/$engine.exe" "$unix/$uninstaller"
  done <"$1"
}

# The "machine" prefix, as a user's machine looks (see scan-machine.awk), from
# $seed. The entries picked for an 8.3 alias get it once their folders exist.
make_machine() {
  awk -v count="$entries" -v seed="$seed" -v user="$(id -un)" -v folders="$dir/folders.txt" \
    -v aliases="$dir/aliases.txt" -f "$here/scan-machine.awk" | utf16 >"$dir/entries.reg"
  "$wine64" reg import "$dir/entries.reg" /reg:64 >"$dir/import.log" 2>&1
  make_uninstallers
  make_folders "$dir/folders.txt"
  local key folder
  while IFS=$'\t' read -r key folder; do
    printf '@for %%%%I in ("%s") do @echo %%%%~sI\r\n' "${folder%\\}"
  done <"$dir/aliases.txt" >"$dir/aliases.bat"
  "$wine64" cmd /c "$(winepath_of "$dir/aliases.bat")" </dev/null 2>/dev/null | tr -d '\r' >"$dir/short.txt"
  grep -q '~' "$dir/short.txt" || { echo "no 8.3 aliases came back ($dir/short.txt)" >&2; exit 1; }
  local short
  {
    echo "Windows Registry Editor Version 5.00"
    paste "$dir/aliases.txt" "$dir/short.txt" | while IFS=$'\t' read -r key folder short; do
      printf '\n[%s]\n"InstallLocation"="%s\\\\"\n' "$key" "${short//\\/\\\\}"
    done
  } | utf16 >"$dir/aliases.reg"
  "$wine64" reg import "$dir/aliases.reg" /reg:64 >>"$dir/import.log" 2>&1
}

winepath_of() { echo "Z:${1//\//\\}"; }

# make_prefix KIND: a fresh prefix of that kind at $WINEPREFIX, its files in $dir.
make_prefix() {
  rm -rf "$dir"
  mkdir -p "$dir"
  echo "creating the $1 prefix $WINEPREFIX"
  "$wine64" wineboot --init >"$dir/wineboot.log" 2>&1
  "$wineserver" -w
  if [ "$1" = machine ]; then
    make_machine
  else
    write_programs >"$dir/entries.reg"
    "$wine64" reg import "$dir/entries.reg" /reg:64 >"$dir/import.log" 2>&1
    local i
    for ((i = 0; i < entries; i++)); do
      mkdir -p "$WINEPREFIX/drive_c/Program Files/Program $i"
      : >"$WINEPREFIX/drive_c/Program Files/Program $i/program.exe"
    done
  fi
  "$wineserver" -w
  stamp "$1" >"$dir/prefix.done"
}

# What a prefix of that kind is made from: a changed generator makes it anew.
stamp() {
  if [ "$1" = machine ]; then
    echo "$entries $seed $(cksum <"$here/scan-machine.awk" | cut -d' ' -f1)"
  else
    echo "$entries $seed"
  fi
}

# The first processor this script may run on: "one CPU" runs put the
# wineserver and every program there.
cpu=$(taskset -pc $$ | sed 's/.*: *//; s/[,-].*//')

# Milliseconds of one run; $pin is empty or a taskset prefix.
time_ms() {
  local start end
  start=$(date +%s%N)
  $pin "$wine64" "$@" >/dev/null 2>&1 </dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure LABEL PIN...: a fresh wineserver placed as the programs are, one
# warm-up round, then the counted rounds; sets $ratio to their median.
measure() {
  local label=$1
  shift
  pin="$*"
  "$wineserver" -k >/dev/null 2>&1 || true
  $pin "$wineserver" -p >/dev/null 2>&1 </dev/null
  local -a startup=() floor_runs=() env_runs=() list_runs=() ratios=() alone=()
  local run s f e l t
  echo "== $label"
  for ((run = 0; run <= runs; run++)); do
    s=$(time_ms "$floor" --startup)
    f=$(time_ms "$floor")
    e=$(time_ms "$cli" env)
    l=$(time_ms "$cli" list --json)
    t=$(time_ms "$cli" list)
    [ $run -eq 0 ] && continue  # warm-up
    startup+=("$s") floor_runs+=("$f") env_runs+=("$e") list_runs+=("$l")
    ratios+=("$(per_floor $((l - e)) $((f - s)))")
    alone+=("$(per_floor $((t - e)) $((f - s)))")
    echo "run $run: floor start $s ms, floor $f ms, env $e ms, list --json $l ms, ratio ${ratios[-1]}; list $t ms, ratio ${alone[-1]}"
  done
  echo "medians: floor start $(printf '%s\n' "${startup[@]}" | median) ms, floor $(printf '%s\n' "${floor_runs[@]}" | median) ms," \
    "env $(printf '%s\n' "${env_runs[@]}" | median) ms, list $(printf '%s\n' "${list_runs[@]}" | median) ms"
  ratio=$(printf '%s\n' "${ratios[@]}" | median)
  ratio_alone=$(printf '%s\n' "${alone[@]}" | median)
  echo "ratio ($label) $ratio (scan alone $ratio_alone)"
}

per_floor() { awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) b = 1; printf "%.3f", a / b }'; }

trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
placement=${VORLIX_SCAN_PLACEMENT:-both}
summary=()
for kind in ${VORLIX_SCAN_PREFIXES:-programs machine}; do
  dir=$work/$kind
  export WINEPREFIX=$dir/prefix
  [ "$(cat "$dir/prefix.done" 2>/dev/null)" = "$(stamp "$kind")" ] || make_prefix "$kind"
  "$wineserver" -k >/dev/null 2>&1 || true
  listed=$("$wine64" "$cli" list --json </dev/null | jq '.programs | length')
  echo "== prefix $kind: vorlix-cli list: $listed programs; floor: $("$wine64" "$floor" </dev/null)"
  free_ratio= one_ratio=
  if [ "$placement" != one ]; then
    measure "$kind, free placement" ""
    free_ratio=$ratio
    summary+=("ratio ($kind, free placement) $free_ratio (scan alone $ratio_alone)")
  fi
  if [ "$placement" != free ]; then
    measure "$kind, one CPU" taskset -c "$cpu"
    one_ratio=$ratio
    summary+=("ratio ($kind, one CPU) $one_ratio (scan alone $ratio_alone)")
  fi
done
printf '%s\n' "${summary[@]}"
# The headline: the work each program makes, without the machine's wake-up
# latency between processors (see the method above).
echo "ratio ${one_ratio:-$free_ratio}"
