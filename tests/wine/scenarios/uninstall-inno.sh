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
with_xvfb

notes_guid='{7B1E2C3D-4A5F-4B6C-9D8E-0F1A2B3C4D5E}' sketch_guid='{2E8D4C6B-1A3F-4E5D-8C7B-9A0F1E2D3C4B}'
fixtures=$scenario_dir/../../fixtures/installers
start_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Corvane

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
  use_program Corvane "$name"
done

notes_key="$uninstall_key\\${notes_guid}_is1"
inno_keys=("$classes\\.cvnote" "$classes\\CorvaneNotes.Document" "$notes_key" "$classes\\.cvsketch" "$classes\\CorvaneSketch.Document")
restorable_before=$(restorable)
expect "Notes is installed" test -f "$drive_c/Program Files/Corvane/Notes/Notes.exe"
expect "its Start Menu shortcut is there" test -f "$start_menu/Notes/Corvane Notes.lnk"
expect "its file class is there" reg_key "$classes\\CorvaneNotes.Document\\shell\\open\\command"

expect_cancel_keeps_all "$cli" "Corvane Notes version 1.4.2" 'unins000\.exe|_unins\.tmp' "Corvane Notes Uninstall" \
  Corvane "${inno_keys[@]}"

start_uninstall "$cli" "Corvane Notes version 1.4.2" 'unins000\.exe|_unins\.tmp'
answer_boxes "Corvane Notes Uninstall" y Return
end_uninstall
expect_equal "Inno's first phase exit code" "$(jq -r .uninstaller.exit_code <<<"$output")" 0
expect_removed_report Corvane Notes Sketch
expect_used_program gone Corvane Notes "$notes_key"
expect "its extension's key is gone" absent reg_key "$classes\\.cvnote"
expect "its Start Menu folder is gone" absent test -e "$start_menu/Notes"
expect "its file class is gone" absent reg_key "$classes\\CorvaneNotes.Document"
expect_used_program stays Corvane Sketch "$uninstall_key\\${sketch_guid}_is1"
expect "the neighbour's shortcut stays" test -f "$start_menu/Sketch/Corvane Sketch.lnk"
expect "the neighbour's file class stays" reg_key "$classes\\CorvaneSketch.Document\\shell\\open\\command"
expect_backup_restores
expect "the backup restores the extension's key" reg_key "$classes\\.cvnote"
finish
