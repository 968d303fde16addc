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

# A check that the rest of the scenario depends on: it stops there when it fails.
require() {  # DESCRIPTION COMMAND...
  "${@:2}" || { echo "FAILED: $1 (the scenario stops here)"; exit 1; }
  echo "ok: $1"
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

# An own X server for the uninstallers' windows, which the scenario answers
# as a user would; it ends with the scenario.
with_xvfb() {
  local tool
  for tool in Xvfb xdotool bc; do command -v $tool >/dev/null || skip "$tool is not installed"; done
  source "$scenario_dir/../gui/lib.sh"
  start_xvfb
  trap stop_xvfb EXIT
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

# Whether a process of this prefix has PATTERN (pgrep -if) in its command line.
prefix_process() {  # PATTERN
  local pid
  for pid in $(pgrep -if "$1"); do
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

# A program of a vendor, as the engine scenarios install it: its folder
# C:\Program Files\VENDOR\NAME with NAME.exe, a settings key
# HKCU\Software\VENDOR\NAME, a profile folder %APPDATA%\VENDOR\NAME.
appdata=$drive_c/users/$(id -un)/AppData/Roaming
user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
mui_cache='HKCU\Software\Classes\Local Settings\Software\Microsoft\Windows\Shell\MuiCache'
program_exe() { echo "C:\\Program Files\\$1\\$2\\$2.exe"; }  # VENDOR NAME

# The program is used: settings in its folder, its profile and its key; it
# starts with Windows, and the shell has cached its name.
use_program() {  # VENDOR NAME
  local folder="$drive_c/Program Files/$1/$2" exe
  exe=$(program_exe "$1" "$2")
  mkdir -p "$folder/cache" "$appdata/$1/$2"
  echo "[window]" >"$folder/settings.ini"
  echo thumbs >"$folder/cache/thumbs.db"
  echo "[recent]" >"$appdata/$1/$2/prefs.ini"
  "$wine64" reg add "HKCU\\Software\\$1\\$2" /v Theme /d dark /f >/dev/null
  "$wine64" reg add "$user_run" /v "$1 $2" /d "\"$exe\" /background" /f >/dev/null
  "$wine64" reg add "$mui_cache" /v "$exe.FriendlyAppName" /d "$1 $2" /f >/dev/null
}

# Everything the vendor's programs have on disk and in the given keys, to compare.
vendor_state() {  # VENDOR KEY...
  find "$drive_c/Program Files/$1" "$appdata/$1" "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" 2>&1 | sort
  local key
  for key in "HKCU\\Software\\$1" "$user_run" "$mui_cache" "${@:2}"; do
    "$wine64" reg query "$key" /s /reg:64 2>&1
  done
}
restorable() { "$wine64" reg query "$user_run"; "$wine64" reg query "$mui_cache"; }

# A used program after its uninstall, or a neighbour that keeps everything,
# with its Uninstall entry when given. Only the program's folder and the
# registry's known places are searched: its profile and its settings key stay
# in either case.
expect_used_program() {  # gone|stays VENDOR NAME [UNINSTALL_KEY]
  local check=() verb=$1 folder="$drive_c/Program Files/$2/$3" exe
  exe=$(program_exe "$2" "$3")
  [ "$verb" = gone ] && check=(absent)
  expect "$3's folder $verb" "${check[@]}" test -f "$folder/settings.ini"
  expect "$3's program $verb" "${check[@]}" test -e "$folder/$3.exe"
  expect "$3's Run value $verb" "${check[@]}" reg_value "$user_run" "$2 $3"
  expect "$3's name in the shell's cache $verb" "${check[@]}" reg_value "$mui_cache" "$exe.FriendlyAppName"
  expect "$3's profile stays" test -f "$appdata/$2/$3/prefs.ini"
  expect "$3's settings key stays" reg_value "HKCU\\Software\\$2\\$3" Theme
  [ -z "${4:-}" ] || expect "$3's Uninstall entry $verb" "${check[@]}" reg_key "$4"
}

# The report of a completed uninstall of VENDOR's NAME: removed, every leftover
# gone, its folder and Run value named, nothing of the vendor's or of OTHER's.
expect_removed_report() {  # VENDOR NAME OTHER
  local folder="^C:\\\\Program Files\\\\$1\\\\$2\\\\?$"
  expect_equal "vorlix-cli uninstall exits with 0" "$uninstall_rc" 0
  expect_equal "the verdict is removed" "$(jq -r .uninstaller.verdict <<<"$output")" removed
  expect_equal "every leftover is removed" "$(jq -r .not_removed_count <<<"$output")" 0
  expect_equal "the report names the program's folder" \
    "$(jq --arg re "$folder" '.leftovers.folders | map(select(test($re; "i"))) | length' <<<"$output")" 1
  expect_equal "the report names its Run value" \
    "$(jq --arg re "^HKCU\\|.*\\\\Run\\|$1 $2$" '.leftovers.registry | map(select(test($re; "i"))) | length' <<<"$output")" 1
  expect_equal "the report claims nothing of the vendor's or $3's" \
    "$(jq --arg re "\\\\$1(\\\\)?$|$3" '[.leftovers[][] | select(test($re; "i"))] | length' <<<"$output")" 0
}

# The backup of the last uninstall (by default the one vorlix-cli's report
# names), imported with Windows' own reg, brings back the deleted Run and
# shell cache values as they were (restorable_before).
expect_backup_restores() {  # [BACKUP]
  local backup=${1:-$(jq -r .backup <<<"$output")}
  expect "the registry backup was written" test -s "$drive_c/vorlix/Backups/${backup##*\\}"
  "$wine64" reg import "$backup" >/dev/null 2>&1
  expect_equal "the backup restores the deleted values" "$(restorable)" "$restorable_before"
}

# Uninstalls NAME answering "No" (Return on the question's default button) to
# the uninstaller's own question titled TITLE: nothing deleted, exit code 5,
# VENDOR's programs and the given keys as they were.
expect_cancel_keeps_all() {  # CLI NAME PATTERN TITLE VENDOR KEY...
  local before
  before=$(vendor_state "${@:5}")
  start_uninstall "$1" "$2" "$3"
  answer_boxes "$4" Return
  end_uninstall
  expect_equal "a cancelled uninstall exits with 5" "$uninstall_rc" 5
  expect_equal "its verdict is still installed" "$(jq -r .uninstaller.verdict <<<"$output")" still_installed
  expect_equal "nothing is deleted" "$(jq -r .deleted <<<"$output")" false
  expect_equal "no backup is written" "$(jq -r .backup <<<"$output")" ""
  expect_equal "the programs are as they were" "$(vendor_state "${@:5}")" "$before"
}
