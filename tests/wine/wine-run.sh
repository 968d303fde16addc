#!/usr/bin/env bash
# Runs Windows programs under Wine for ctest, each in a throw-away prefix.
#
#   wine-run.sh setup ROOT             make ROOT/pristine (wineboot) and probe 32-bit support
#   wine-run.sh run ROOT EXE [ARG...]  run EXE in a copy of ROOT/pristine, then remove the copy
#   wine-run.sh run-script ROOT SCRIPT EXE [ARG...]
#                                      run the bash SCRIPT with EXE and ARGs in a copy of
#                                      ROOT/pristine (WINEPREFIX; VORLIX_WINE32_STATUS holds the
#                                      32-bit probe result); skipped as `run` is when EXE cannot run
#   wine-run.sh cleanup ROOT           end every wineserver below ROOT and remove ROOT
#
# Environment:
#   VORLIX_WINE64                the 64-bit Wine loader (default /usr/lib/wine/wine64)
#   VORLIX_WINESERVER            wineserver (default /usr/lib/wine/wineserver)
#   VORLIX_WINE_TIMEOUT64/32     seconds a 64-bit / 32-bit program may run (default 240 / 1200)
#   VORLIX_WINE32_PROBE_SECONDS  how fast a 32-bit program must start for the 32-bit tests to run (default 60)
#
# Exit codes of `run`: the program's own; 77 when the test must be skipped
# (program not built, or 32-bit programs cannot run here); 1 on a runner failure.
set -uo pipefail

wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY  # console programs only; no window may wait for a click
skip_code=77

say() { echo "vorlix-wine: $*"; }
fail() {
  say "$*" >&2
  exit 1
}

# Ends the wineserver of one prefix (and with it every process of that prefix).
stop_prefix() {
  [ -d "$1" ] && WINEPREFIX=$1 timeout 30 "$wineserver" -k >/dev/null 2>&1
  return 0
}

remove_prefix() {
  stop_prefix "$1"
  rm -rf "$1"
}

# i386 or amd64, from the machine field of the PE header.
pe_machine() {
  local offset machine
  offset=$(od -A n -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return 1
  machine=$(od -A n -t x2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in
    014c) echo i386 ;;
    8664) echo amd64 ;;
    *) return 1 ;;
  esac
}

new_copy() {  # ROOT -> path of a fresh copy of the pristine prefix
  local copy
  copy=$(mktemp -d "$1/run.XXXXXX") || return 1
  cp -a "$1/pristine/." "$copy/" || { rm -rf "$copy"; return 1; }
  echo "$copy"
}

# One line: "ok" or why 32-bit programs cannot run. First the kernel (the
# set-up's own question, so both give the same reason), then a 32-bit program
# of the prefix itself, so the probe needs nothing from the builds.
probe_wine32() {  # ROOT
  local root=$1 seconds=${VORLIX_WINE32_PROBE_SECONDS:-60} copy output rc
  local probe_exe="$root/pristine/drive_c/windows/syswow64/hostname.exe"
  if ! output=$("$(dirname "$0")/../../scripts/runs-i386.sh"); then
    echo "$output"
    return
  fi
  if [ ! -f "$probe_exe" ]; then
    echo "the prefix has no 32-bit half (install wine32:i386: scripts/install-deps.sh)"
    return
  fi
  copy=$(new_copy "$root") || { echo "cannot copy the prefix for the probe"; return; }
  output=$(cd "$copy" && WINEPREFIX=$copy timeout -k 5 "$seconds" "$wine64" "$probe_exe" 2>&1)
  rc=$?
  remove_prefix "$copy"
  if [ $rc -eq 0 ] && [ -n "$output" ]; then
    echo ok
  elif [ $rc -eq 124 ]; then
    echo "a 32-bit program did not finish within ${seconds} s (emulated i386?)"
  else
    echo "a 32-bit program failed to run (exit code $rc: ${output:0:200})"
  fi
}

# Wine cannot make junctions, but shows a Unix symbolic link to a folder as a
# folder reparse point: the Windows tests find one at C:\vorlix_links\tree\link.
add_folder_link() {  # PREFIX
  local base=$1/drive_c/vorlix_links
  mkdir -p "$base/target" "$base/tree" && echo keep >"$base/target/keep.txt" && echo x >"$base/tree/file.txt" \
    && ln -s ../target "$base/tree/link"
}

cmd_setup() {  # ROOT
  local root=$1 pristine=$1/pristine
  [ -x "$wine64" ] || fail "no Wine loader at $wine64"
  cmd_cleanup "$root"
  mkdir -p "$root" || fail "cannot create $root"
  say "creating the pristine prefix $pristine"
  WINEPREFIX=$pristine timeout -k 10 1200 "$wine64" wineboot --init >"$root/wineboot.log" 2>&1 \
    || { tail -n 20 "$root/wineboot.log" >&2; fail "wineboot --init failed"; }
  WINEPREFIX=$pristine timeout -k 10 300 "$wineserver" -w || fail "the prefix's wineserver did not finish"
  [ -f "$pristine/system.reg" ] || fail "wineboot left no registry in $pristine"
  probe_wine32 "$root" | tr -d '\r' >"$root/wine32.status"
  say "32-bit programs: $(cat "$root/wine32.status")"
  # Kept past the cleanup, for scripts/test.sh's closing line.
  cp "$root/wine32.status" "$(dirname "$root")/wine32.status"
}

# Skips the test unless EXE is built and can run here; sets the caller's
# limit to the seconds it may run.
check_runnable() {  # ROOT EXE
  local root=$1 exe=$2
  if [ ! -f "$exe" ]; then
    say "SKIPPED: $exe is not built"
    exit $skip_code
  fi
  local machine
  machine=$(pe_machine "$exe") || fail "$exe is not a Windows program"
  if [ "$machine" = i386 ]; then
    local status
    status=$(cat "$root/wine32.status" 2>/dev/null || echo "no probe result (did the setup test run?)")
    if [ "$status" != ok ]; then
      say "SKIPPED: 32-bit Windows programs cannot run under Wine here: $status"
      exit $skip_code
    fi
    limit=${VORLIX_WINE_TIMEOUT32:-1200}
  else
    limit=${VORLIX_WINE_TIMEOUT64:-240}
  fi
  [ -f "$root/pristine/system.reg" ] || fail "no pristine prefix in $root (the setup test must run first)"
}

cmd_run() {  # ROOT EXE ARGS...
  local root=$1 exe=$2 limit
  shift 2
  check_runnable "$root" "$exe"

  local rc
  run_copy=$(new_copy "$root") || fail "cannot copy the pristine prefix"
  trap 'remove_prefix "$run_copy"' EXIT
  add_folder_link "$run_copy" || fail "cannot add the folder link to the prefix"
  trap 'exit 143' TERM INT
  (cd "$(dirname "$exe")" && WINEPREFIX=$run_copy timeout -k 10 "$limit" "$wine64" "$exe" "$@")
  rc=$?
  [ $rc -eq 124 ] && say "timed out after $limit s"
  say "exit code $rc"
  exit $rc
}

cmd_run_script() {  # ROOT SCRIPT EXE ARGS...
  local root=$1 script=$2 exe=$3 rc limit
  shift 2
  check_runnable "$root" "$exe"
  run_copy=$(new_copy "$root") || fail "cannot copy the pristine prefix"
  trap 'remove_prefix "$run_copy"' EXIT
  trap 'exit 143' TERM INT
  VORLIX_WINE32_STATUS=$(cat "$root/wine32.status" 2>/dev/null || echo "no probe result") \
    WINEPREFIX=$run_copy timeout -k 10 "${VORLIX_WINE_TIMEOUT32:-1200}" bash "$script" "$@"
  rc=$?
  [ $rc -eq 124 ] && say "timed out"
  say "exit code $rc"
  exit $rc
}

cmd_cleanup() {  # ROOT
  local root=$1 prefix
  [ -d "$root" ] || return 0
  for prefix in "$root"/run.* "$root/pristine"; do
    [ -d "$prefix" ] && stop_prefix "$prefix"
  done
  rm -rf "$root"
}

[ $# -ge 2 ] || fail "usage: $0 setup|run|cleanup ROOT [EXE ARGS...]"
command=$1
shift
case $command in
  setup) cmd_setup "$1" ;;
  run)
    [ $# -ge 2 ] || fail "usage: $0 run ROOT EXE [ARGS...]"
    cmd_run "$@"
    ;;
  run-script)
    [ $# -ge 3 ] || fail "usage: $0 run-script ROOT SCRIPT EXE [ARGS...]"
    cmd_run_script "$@"
    ;;
  cleanup) cmd_cleanup "$1" ;;
  *) fail "unknown command $command" ;;
esac
