# Two programs of one vendor installed by real Inno Setup installers (built
# here with ISCC.exe from the npm package innosetup); one is used, then
# uninstalled through vorlix-cli, answering Inno's own questions under Xvfb as
# a user would: first "No" (a cancelled uninstall: nothing may go), then
# "Yes", after which Inno runs on from a copy in %TEMP% and vorlix-cli must
# wait for it. Its leftovers go, the neighbour keeps everything, the backup
# restores what went from the registry. Setup and ISCC are 32-bit programs.
#   uninstall-inno.sh CLI INNOSETUP_DIR SETUP_CACHE
source "$(dirname "$0")/lib.sh"
cli=$1 iscc=$2/node_modules/innosetup/bin/ISCC.exe cache=$3
wine32_ok || skip "Inno Setup's compiler and installers are 32-bit programs: ${VORLIX_WINE32_STATUS:-no probe result}"
[ -f "$iscc" ] || skip "no Inno Setup compiler: $(cat "$2/status" 2>/dev/null || echo "fetch-innosetup.sh did not run")"
for tool in Xvfb xdotool bc; do command -v $tool >/dev/null || skip "$tool is not installed"; done
source "$scenario_dir/../gui/lib.sh"
start_xvfb
trap stop_xvfb EXIT

notes_guid='{7B1E2C3D-4A5F-4B6C-9D8E-0F1A2B3C4D5E}' sketch_guid='{2E8D4C6B-1A3F-4E5D-8C7B-9A0F1E2D3C4B}'
fixtures=$scenario_dir/../../fixtures/installers
appdata=$drive_c/users/$(id -un)/AppData/Roaming
programs=$drive_c/Program\ Files/Corvane
start_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Corvane
settings='HKCU\Software\Corvane'
user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
mui_cache='HKCU\Software\Classes\Local Settings\Software\Microsoft\Windows\Shell\MuiCache'

# The installers are built once per source (they do not depend on the build under test).
setup_exe() {  # PRODUCT GUID EXT
  local dir
  dir=$cache/$(cat "$fixtures/corvane.iss" "$fixtures/corvane-payload.txt" | sha1sum | cut -c1-12)
  if [ ! -f "$dir/corvane-$1-setup.exe" ]; then
    mkdir -p "$dir"
    (cd "$fixtures" && timeout -k 10 300 "$wine64" "$iscc" /Q "/O$("$wine64" winepath -w "$dir" 2>/dev/null)" \
      "/DProduct=$1" "/DAppGuid={$2" "/DExt=$3" corvane.iss) >&2 || return 1
  fi
  echo "$dir/corvane-$1-setup.exe"
}

for product in "Notes $notes_guid .cvnote" "Sketch $sketch_guid .cvsketch"; do
  read -r name guid ext <<<"$product"
  setup=$(setup_exe "$name" "$guid" "$ext") || { echo "FAILED: ISCC could not build the $name installer"; exit 1; }
  timeout -k 10 300 "$wine64" "$setup" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART \
    || { echo "FAILED: the $name installer"; exit 1; }
  # The program is used: settings in its folder, its profile and its key; it
  # starts with Windows, and the shell has cached its name.
  mkdir -p "$programs/$name/cache" "$appdata/Corvane/$name"
  echo "[window]" >"$programs/$name/settings.ini"
  echo thumbs >"$programs/$name/cache/thumbs.db"
  echo "[recent]" >"$appdata/Corvane/$name/prefs.ini"
  "$wine64" reg add "$settings\\$name" /v Theme /d dark /f >/dev/null
  exe="C:\\Program Files\\Corvane\\$name\\$name.exe"
  "$wine64" reg add "$user_run" /v "Corvane $name" /d "\"$exe\" /background" /f >/dev/null
  "$wine64" reg add "$mui_cache" /v "$exe.FriendlyAppName" /d "Corvane $name" /f >/dev/null
done

notes_key="$uninstall_key\\${notes_guid}_is1"
state() {  # everything Notes and its neighbour have
  find "$programs" "$appdata/Corvane" "$start_menu" | sort
  local key
  for key in "$settings" "$user_run" "$mui_cache" "$classes\\.cvnote" "$classes\\CorvaneNotes.Document" "$notes_key" \
    "$classes\\.cvsketch" "$classes\\CorvaneSketch.Document"; do
    "$wine64" reg query "$key" /s /reg:64 2>&1
  done
}
before=$(state)
restorable() { "$wine64" reg query "$user_run"; "$wine64" reg query "$mui_cache"; }
restorable_before=$(restorable)
expect "Notes is installed" test -f "$programs/Notes/Notes.exe"
expect "its Start Menu shortcut is there" test -f "$start_menu/Notes/Corvane Notes.lnk"
expect "its file class is there" reg_key "$classes\\CorvaneNotes.Document\\shell\\open\\command"

# Inno's default button is No: Return cancels.
start_uninstall "$cli" "Corvane Notes version 1.4.2" 'unins000\.exe|_unins\.tmp'
answer_boxes "Corvane Notes Uninstall" Return
end_uninstall
expect_equal "a cancelled uninstall exits with 5" "$uninstall_rc" 5
expect_equal "its verdict is still installed" "$(jq -r .uninstaller.verdict <<<"$output")" still_installed
expect_equal "nothing is deleted" "$(jq -r .deleted <<<"$output")" false
expect_equal "no backup is written" "$(jq -r .backup <<<"$output")" ""
expect_equal "the programs are as they were" "$(state)" "$before"

start_uninstall "$cli" "Corvane Notes version 1.4.2" 'unins000\.exe|_unins\.tmp'
answer_boxes "Corvane Notes Uninstall" y Return
end_uninstall
expect_equal "vorlix-cli uninstall exits with 0" "$uninstall_rc" 0
expect_equal "the verdict is removed" "$(jq -r .uninstaller.verdict <<<"$output")" removed
expect_equal "Inno's first phase exit code" "$(jq -r .uninstaller.exit_code <<<"$output")" 0
expect_equal "every leftover is removed" "$(jq -r .not_removed_count <<<"$output")" 0
expect_equal "the report names the program's folder" \
  "$(jq -r '.leftovers.folders | map(select(test("^C:\\\\Program Files\\\\Corvane\\\\Notes\\\\?$"; "i"))) | length' <<<"$output")" 1
expect_equal "the report names its Run value" \
  "$(jq -r '.leftovers.registry | map(select(test("^HKCU\\|.*\\\\Run\\|Corvane Notes$"; "i"))) | length' <<<"$output")" 1
expect_equal "the report claims nothing of the vendor's or the neighbour's" \
  "$(jq -r '[.leftovers[][] | select(test("Corvane(\\\\)?$|Sketch"; "i"))] | length' <<<"$output")" 0
expect "the program's folder is gone" absent test -e "$programs/Notes"
expect "its Start Menu folder is gone" absent test -e "$start_menu/Notes"
expect "its Run value is gone" absent reg_value "$user_run" "Corvane Notes"
expect "the shell's cached name is gone" absent reg_value "$mui_cache" "C:\\Program Files\\Corvane\\Notes\\Notes.exe.FriendlyAppName"
expect "its file class is gone" absent reg_key "$classes\\CorvaneNotes.Document"
expect "its extension is gone" absent reg_key "$classes\\.cvnote"
expect "its Uninstall entry is gone" absent reg_key "$notes_key"
# Nothing outside the program's folder and the registry's known places is searched.
expect "its profile folder stays" test -f "$appdata/Corvane/Notes/prefs.ini"
expect "its settings key stays" reg_value "$settings\\Notes" Theme
expect "the vendor's folder stays" test -d "$programs"
expect "the neighbour's program stays" test -f "$programs/Sketch/Sketch.exe"
expect "the neighbour's settings stay" test -f "$programs/Sketch/settings.ini"
expect "the neighbour's profile stays" test -f "$appdata/Corvane/Sketch/prefs.ini"
expect "the neighbour's shortcut stays" test -f "$start_menu/Sketch/Corvane Sketch.lnk"
expect "the neighbour's settings key stays" reg_value "$settings\\Sketch" Theme
expect "the neighbour's Run value stays" reg_value "$user_run" "Corvane Sketch"
expect "the neighbour's file class stays" reg_key "$classes\\CorvaneSketch.Document\\shell\\open\\command"
expect "the neighbour's Uninstall entry stays" reg_key "$uninstall_key\\${sketch_guid}_is1"

backup=$(jq -r .backup <<<"$output")
expect "the registry backup was written" test -s "$drive_c/vorlix/Backups/${backup##*\\}"
"$wine64" reg import "$backup" >/dev/null 2>&1
expect_equal "the backup restores the deleted values" "$(restorable)" "$restorable_before"
expect "the backup restores the extension's key" reg_key "$classes\\.cvnote"
finish
