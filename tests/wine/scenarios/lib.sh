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
