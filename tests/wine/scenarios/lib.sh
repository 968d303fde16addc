# Shared by the scenario scripts, which wine-run.sh's run-script mode starts
# with WINEPREFIX set to a throw-away copy of the pristine prefix.
set -uo pipefail

wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
scenario_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
drive_c=$WINEPREFIX/drive_c
failures=0
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY  # no window may wait for a click

for tool in jq makensis wixl; do
  command -v $tool >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

wine32_ok() { [ "${VORLIX_WINE32_STATUS:-}" = ok ]; }

install_programs() {  # [--no32]
  bash "$scenario_dir/../prepare-demo.sh" "$WINEPREFIX" "$WINEPREFIX/installers" "$@" \
    || { echo "FAILED: installing the test programs"; exit 1; }
}

# Runs vorlix-cli from a copy inside the prefix, so that its result files and
# Backups folder stay out of the build tree.
run_cli() {  # CLI ARGS...
  local cli=$1
  shift
  mkdir -p "$drive_c/vorlix" && cp "$cli" "$drive_c/vorlix/" || return 1
  (cd "$drive_c/vorlix" && timeout -k 10 600 "$wine64" "./$(basename "$cli")" "$@")
}

# `uninstall NAME --yes --json`, expected to exit 0 after starting the
# program's uninstaller; the JSON report is left in $output.
uninstall_yes() {  # CLI NAME
  output=$(run_cli "$1" uninstall "$2" --yes --json)
  expect "vorlix-cli uninstall exits with 0" test $? -eq 0
  echo "$output"
  expect_equal "the uninstaller was started" "$(jq -r .uninstaller_started <<<"$output")" true
}

expect() {  # DESCRIPTION COMMAND...
  if "${@:2}"; then
    echo "ok: $1"
  else
    echo "FAILED: $1"
    failures=$((failures + 1))
  fi
}

expect_equal() {  # DESCRIPTION ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then
    echo "ok: $1"
  else
    echo "FAILED: $1: got '$2', expected '$3'"
    failures=$((failures + 1))
  fi
}

absent() { ! "$@"; }
reg_key() { "$wine64" reg query "$1" /reg:64 >/dev/null 2>&1; }
reg_value() { "$wine64" reg query "$1" /v "$2" /reg:64 >/dev/null 2>&1; }

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
classes='HKLM\Software\Classes'
quillmark_clsid='{5C2E7A41-93B8-4D0F-A6E1-2F7B9C0D4E18}'
ferrowave_code='{3D9B6C21-7E4A-4F58-9A0B-1C2D3E4F5A6B}'

expect_quillmark() {  # present|gone
  local check=() verb=$1
  [ "$verb" = gone ] && check=(absent)
  expect "Quillmark's folder is $verb" "${check[@]}" test -e "$drive_c/Program Files/Quillmark"
  expect "Quillmark's Uninstall entry is $verb" "${check[@]}" reg_key "$uninstall_key\\Quillmark"
  expect "Quillmark's Run value is $verb" "${check[@]}" reg_value "$run_key" Quillmark
  expect "Quillmark's file class is $verb" "${check[@]}" reg_key "$classes\\Quillmark.Document"
  expect "Quillmark's extension is $verb" "${check[@]}" reg_key "$classes\\.xyzdoc"
  expect "Quillmark's COM class is $verb" "${check[@]}" reg_key "$classes\\CLSID\\$quillmark_clsid"
}

expect_neighbour_intact() {
  expect "QuillmarkBox's program stays" test -f "$drive_c/Program Files/QuillmarkBox/qbox.exe"
  expect "QuillmarkBox's Uninstall entry stays" reg_key "$uninstall_key\\QuillmarkBox"
  expect "QuillmarkBox's Run value stays" reg_value "$run_key" QuillmarkBox
  expect "QuillmarkBox's file class stays" reg_key "$classes\\QuillmarkBox.Project\\shell\\open\\command"
  expect "Driftnote's per-user entry stays" reg_key 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Driftnote'
}

expect_ferrowave() {  # present|gone
  local check=() verb=$1
  [ "$verb" = gone ] && check=(absent)
  expect "Ferrowave's program is $verb" "${check[@]}" test -e "$drive_c/Program Files/Ferrowave/ferrowave.exe"
  expect "Ferrowave's Uninstall entry is $verb" "${check[@]}" reg_key "$uninstall_key\\$ferrowave_code"
}

finish() {
  if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}

skip() {  # REASON
  echo "SKIPPED: $*"
  exit 77
}

# The id of a visible message box titled TITLE other than the window NOT,
# within SECONDS. An uninstaller's progress window often has the same title:
# a box is told from it by its height (one or two lines of text and a row of buttons).
wait_message_box() {  # TITLE NOT SECONDS
  local deadline=$((SECONDS + $3)) id HEIGHT
  while [ $SECONDS -lt "$deadline" ]; do
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "$2"); do
      eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null | grep '^HEIGHT=')"
      [ "${HEIGHT:-999}" -lt 200 ] && echo "$id" && return 0
    done
    sleep 0.2
  done
  return 1
}

# Answers an uninstaller's own message boxes as a user would: each KEY goes
# to the next box titled TITLE, once it has the focus.
answer_boxes() {  # TITLE KEY...
  local title=$1 key id previous=none
  shift
  for key; do
    if ! id=$(wait_message_box "$title" "$previous" 120); then
      echo "FAILED: no window \"$title\" to answer with $key"
      failures=$((failures + 1))
      return 1
    fi
    xdotool windowfocus --sync "$id" key "$key"
    previous=$id
  done
}

# Whether a process of this prefix has PATTERN (pgrep -f) in its command line.
prefix_process() {  # PATTERN
  local pid
  for pid in $(pgrep -f "$1"); do
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# `uninstall NAME --yes --json` in the background, its progress lines stamped
# with the time, while the uninstaller's processes (PATTERN) are watched;
# end_uninstall collects the report and the figures.
start_uninstall() {  # CLI NAME PATTERN
  timing=$WINEPREFIX/timing
  rm -rf "$timing" && mkdir -p "$timing"
  (
    run_cli "$1" uninstall "$2" --yes --json 2>&1 >"$timing/json" |
      while IFS= read -r line; do echo "$(date +%s.%N) $line"; done >"$timing/progress"
    echo "${PIPESTATUS[0]}" >"$timing/rc"
  ) &
  uninstall_pid=$!
  # Sampling every 0.1 s bounds the figures' error; nothing is decided on them.
  (while kill -0 $uninstall_pid 2>/dev/null; do
    prefix_process "$3" && date +%s.%N
    sleep 0.1
  done >"$timing/seen") &
  watch_pid=$!
}

# Sets $output (the JSON report) and $uninstall_rc; prints how long the
# uninstaller ran (from its start, answers included) and how long vorlix-cli
# went on waiting after its last process had ended.
end_uninstall() {
  wait "$uninstall_pid" "$watch_pid"
  output=$(cat "$timing/json")
  uninstall_rc=$(cat "$timing/rc")
  cat "$timing/progress"
  echo "$output"
  local started last resumed
  started=$(awk '/Starting the uninstaller/ { print $1; exit }' "$timing/progress")
  resumed=$(awk 'waiting { print $1; exit } /Waiting for the uninstaller/ { waiting = 1 }' "$timing/progress")
  last=$(tail -n 1 "$timing/seen")
  if [ -n "$started" ] && [ -n "$resumed" ] && [ -n "$last" ]; then
    printf 'figure: the uninstaller ran %.1f s; vorlix-cli waited %.1f s after it ended\n' \
      "$(bc <<<"$last - $started")" "$(bc <<<"$resumed - $last")"
  else
    echo "figure: not measured (the uninstaller's processes were not seen)"
  fi
}
