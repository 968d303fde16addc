# Quiet and batch uninstalls with real engines: `list --json` names each test
# program's installer engine; `uninstall --quiet` removes an NSIS program whose
# uninstaller otherwise asks first, an Inno Setup program and a Windows
# Installer product in one batch while no window appears on the X server, their
# leftovers go and the neighbours keep everything; a batch whose first program
# fails stops there, or goes on with --keep-going, reporting each program.
#   uninstall-quiet.sh CLI INNOSETUP_DIR SETUP_CACHE
# Without 32-bit Wine or Inno Setup's compiler the Inno Setup program is left
# out, and the scenario reports a skip once the rest has passed.
source "$(dirname "$0")/lib.sh"
source "$scenario_dir/corvane.sh"
cli=$1
with_xvfb
command -v xwininfo >/dev/null || skip "xwininfo is not installed"

inno=0
if wine32_ok && [ -f "$2/node_modules/innosetup/bin/ISCC.exe" ]; then inno=1; fi
if wine32_ok; then install_programs; else install_programs --no32; fi
for name in Atlas Ledger; do
  makensis -V2 -DOUTFILE="$WINEPREFIX/larkspur-$name.exe" -DPRODUCT=$name "$scenario_dir/../../fixtures/installers/larkspur.nsi" \
    && timeout -k 10 300 "$wine64" "$WINEPREFIX/larkspur-$name.exe" /S || { echo "FAILED: the $name installer"; exit 1; }
  use_program Larkspur $name
done
if [ $inno -eq 1 ]; then
  require_inno "$2"
  install_corvane "$3"
fi
# A program whose quiet command fails as Windows Installer fails (fatal error).
brokenfly_key="$uninstall_key\\Brokenfly"
for value in "DisplayName=Brokenfly" 'UninstallString=C:\windows\system32\cmd.exe /c exit 1603' \
  'QuietUninstallString=C:\windows\system32\cmd.exe /c exit 1603'; do
  "$wine64" reg add "$brokenfly_key" /v "${value%%=*}" /d "${value#*=}" /f /reg:64 >/dev/null
done

# ---- the engines as the list names them
json=$(run_cli "$cli" list --json) || { echo "FAILED: vorlix-cli list --json"; exit 1; }
engine() {  # NAME -> "installer|quiet_command"
  jq -r --arg name "$1" '[.programs[] | select(.name == $name)] |
    if length == 1 then "\(.[0].installer)|\(.[0].quiet_command)" else "\(length) entries" end' <<<"$json"
}
expect_equal "Quillmark is NSIS" "$(engine Quillmark)" 'nsis|"C:\Program Files\Quillmark\uninst.exe" /S'
expect_equal "QuillmarkBox is NSIS" "$(engine QuillmarkBox)" 'nsis|"C:\Program Files\QuillmarkBox\uninst.exe" /S'
expect_equal "Larkspur Atlas is NSIS" "$(engine "Larkspur Atlas")" \
  'nsis|"C:\Program Files\Larkspur\Atlas\uninstall.exe" /S'
expect_equal "Ferrowave is Windows Installer" "$(engine Ferrowave)" "msi|msiexec /x$ferrowave_code /qn /norestart"
expect_equal "Driftnote (an entry without its uninstaller) is unknown" "$(engine Driftnote)" 'unknown|'
expect_equal "Brokenfly registers its quiet command" "$(engine Brokenfly)" \
  'registered_quiet|C:\windows\system32\cmd.exe /c exit 1603'
wine32_ok && expect_equal "Tallyworks (32-bit) is NSIS" "$(engine Tallyworks)" \
  'nsis|"C:\Program Files (x86)\Tallyworks\Uninstall Tallyworks.exe" /S'
[ $inno -eq 1 ] && expect_equal "Corvane Notes is Inno Setup" "$(engine "$notes_name")" \
  'inno|"C:\Program Files\Corvane\Notes\unins000.exe" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART'
# The knowledge base's registry-only entries: Windows Installer by their msiexec
# command, the rest without an uninstaller on disk.
expect_equal "every msiexec entry is Windows Installer" \
  "$(jq '[.programs[] | select((.uninstall_string | test("^msiexec"; "i")) and .installer != "msi")] | length' <<<"$json")" 0
expect_equal "no other registry-only entry claims an engine" \
  "$(jq '[.programs[] | select((.uninstall_string | test("^msiexec"; "i") | not) and .installer != "unknown"
     and (.name | test("^(Quillmark|QuillmarkBox|Larkspur .*|Tallyworks|Brokenfly|Corvane .*)$") | not))] | length' <<<"$json")" 0

# ---- the windows on the X server
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    echo "$id $(xdotool getwindowname "$id" 2>/dev/null)"
  done
}
# The watch sees an uninstaller's own window: Ledger's, started as registered,
# asks first; Return answers its default No.
"$wine64" 'C:\Program Files\Larkspur\Ledger\uninstall.exe' &
seen='' deadline=$((SECONDS + 120))
while [ -z "$seen" ] && [ $SECONDS -lt $deadline ]; do
  seen=$(visible_windows)
  sleep 0.2
done
require "the window watch sees a loud uninstaller's window" test -n "$seen"
answer_boxes "Larkspur Ledger Uninstall" Return
deadline=$((SECONDS + 120))
while prefix_process 'uninstall\.exe|~nsu' && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
require "the cancelled uninstaller has ended" absent prefix_process 'uninstall\.exe|~nsu'
require "no window is left from it" test -z "$(visible_windows)"

# Sets $lines (the JSON lines), $batch_rc and $windows (every visible window seen meanwhile).
run_batch() {  # ARGS...
  local file=$WINEPREFIX/batch pid watch
  run_cli "$cli" uninstall "$@" --yes --json >"$file.json" 2>"$file.progress" &
  pid=$!
  (while kill -0 $pid 2>/dev/null; do
    visible_windows
    sleep 0.1
  done | sort -u >"$file.windows") &
  watch=$!
  wait $pid
  batch_rc=$?
  wait $watch
  lines=$(cat "$file.json") windows=$(cat "$file.windows")
  cat "$file.progress"
  echo "$lines"
}
line() { jq -c --arg name "$1" 'select(.name == $name)' <<<"$lines"; }  # NAME
summary() { jq -c 'select(.summary) | .summary' <<<"$lines"; }
expect_json_lines() {  # COUNT: program lines, then the summary last
  expect_equal "one JSON line per program and a summary" "$(jq -c . <<<"$lines" | wc -l)" $(($1 + 1))
  expect_equal "the summary comes last" "$(tail -n 1 <<<"$lines" | jq -c 'has("summary")')" true
}

# ---- quiet: NSIS, Inno Setup, Windows Installer in one batch
quiet_names=("Larkspur Atlas" Ferrowave)
[ $inno -eq 1 ] && quiet_names+=("$notes_name")
run_batch "${quiet_names[@]}" --quiet
expect_equal "the quiet batch exits with 0" "$batch_rc" 0
expect_equal "no window appeared during the quiet batch" "$windows" ""
expect_json_lines ${#quiet_names[@]}
for name in "${quiet_names[@]}"; do
  expect_equal "$name: removed" "$(line "$name" | jq -r '"\(.uninstaller.verdict) \(.quiet) \(.not_removed_count)"')" \
    "removed true 0"
done
expect_equal "the summary counts them" "$(summary | jq -c '[.removed, .failed, .not_run, .exit_code]')" \
  "[${#quiet_names[@]},0,0,0]"
expect_used_program gone Larkspur Atlas "$uninstall_key\\Larkspur Atlas"
expect_used_program stays Larkspur Ledger "$uninstall_key\\Larkspur Ledger"
expect_ferrowave gone
expect "Ferrowave's folder is gone" absent test -e "$drive_c/Program Files/Ferrowave"
[ $inno -eq 1 ] && expect_notes_removed
expect_quillmark present
expect_neighbour_intact

# ---- a failing first program: the batch stops, or goes on with --keep-going
run_batch Brokenfly Quillmark --quiet
expect_equal "a failed batch exits with the failure's code" "$batch_rc" 5
expect_json_lines 1
expect_equal "Brokenfly failed" "$(line Brokenfly | jq -r '"\(.uninstaller.verdict) \(.uninstaller.exit_code)"')" "failed 1603"
expect_equal "Quillmark was not run" "$(summary | jq -c '[.failed, .not_run]')" "[1,1]"
expect_quillmark present

run_batch Brokenfly Quillmark --quiet --keep-going
expect_equal "with --keep-going the batch still exits with the failure's code" "$batch_rc" 5
expect_json_lines 2
expect_equal "Brokenfly failed again" "$(line Brokenfly | jq -r .uninstaller.verdict)" failed
expect_equal "Quillmark was removed" "$(line Quillmark | jq -r '"\(.uninstaller.verdict) \(.not_removed_count)"')" "removed 0"
expect_equal "the summary counts both" "$(summary | jq -c '[.removed, .failed, .not_run]')" "[1,1,0]"
expect "Brokenfly's entry stays" reg_key "$brokenfly_key"
expect_quillmark gone
expect_neighbour_intact

if [ $failures -eq 0 ] && [ $inno -eq 0 ]; then
  echo "SKIPPED: the Inno Setup program was left out: ${VORLIX_WINE32_STATUS:-no 32-bit probe result}, or no ISCC.exe"
  exit 77
fi
finish
