# Two programs of one vendor (Corvane Notes and Sketch) installed by real Inno
# Setup installers built with ISCC.exe from the npm package innosetup, and
# used; what an uninstall of Notes must take and leave. Sourced after lib.sh
# by the scenarios that uninstall Notes through vorlix-cli and the window.
# Setup and ISCC are 32-bit programs: without 32-bit Wine the scenario skips.

notes_guid='{7B1E2C3D-4A5F-4B6C-9D8E-0F1A2B3C4D5E}' sketch_guid='{2E8D4C6B-1A3F-4E5D-8C7B-9A0F1E2D3C4B}'
notes_name="Corvane Notes version 1.4.2"
notes_key="$uninstall_key\\${notes_guid}_is1"
inno_keys=("$classes\\.cvnote" "$classes\\CorvaneNotes.Document" "$notes_key" "$classes\\.cvsketch" "$classes\\CorvaneSketch.Document")
start_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Corvane
# The uninstaller's processes (the first phase and its copy in %TEMP%) and the title of its question.
inno_processes='unins000\.exe|_unins\.tmp' inno_box="Corvane Notes Uninstall"

# Skips unless 32-bit Wine runs and ISCC.exe was fetched into INNOSETUP_DIR.
require_inno() {  # INNOSETUP_DIR
  iscc=$1/node_modules/innosetup/bin/ISCC.exe
  wine32_ok || skip "Inno Setup's compiler and installers are 32-bit programs: ${VORLIX_WINE32_STATUS:-no probe result}"
  [ -f "$iscc" ] || skip "no Inno Setup compiler: $(cat "$1/status" 2>/dev/null || echo "fetch-innosetup.sh did not run")"
}

# The installers are built once per source into CACHE (they do not depend on
# the build under test). Each is compiled in a folder of its own and renamed
# into place, so scenarios running at once never see half a file.
setup_exe() {  # CACHE PRODUCT GUID EXT
  local fixtures=$scenario_dir/../../fixtures/installers dir setup work
  dir=$1/$(cat "$fixtures/corvane.iss" "$fixtures/corvane-payload.txt" | sha1sum | cut -c1-12)
  setup=$dir/corvane-$2-setup.exe
  if [ ! -f "$setup" ]; then
    mkdir -p "$dir" && work=$(mktemp -d "$dir/work.XXXXXX") || return 1
    (cd "$fixtures" && timeout -k 10 300 "$wine64" "$iscc" /Q "/O$("$wine64" winepath -w "$work" 2>/dev/null)" \
      "/DProduct=$2" "/DAppGuid={$3" "/DExt=$4" corvane.iss) >&2 && mv -n "$work/${setup##*/}" "$setup"
    rm -rf "$work"
    [ -f "$setup" ] || return 1
  fi
  echo "$setup"
}

# Installs and uses both programs; $restorable_before holds the values a
# backup must bring back.
install_corvane() {  # CACHE
  local product name guid ext setup
  for product in "Notes $notes_guid .cvnote" "Sketch $sketch_guid .cvsketch"; do
    read -r name guid ext <<<"$product"
    setup=$(setup_exe "$1" "$name" "$guid" "$ext") || { echo "FAILED: ISCC could not build the $name installer"; exit 1; }
    timeout -k 10 300 "$wine64" "$setup" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART \
      || { echo "FAILED: the $name installer"; exit 1; }
    use_program Corvane "$name"
  done
  restorable_before=$(restorable)
  require "Notes is installed" test -f "$drive_c/Program Files/Corvane/Notes/Notes.exe"
  expect "its Start Menu shortcut is there" test -f "$start_menu/Notes/Corvane Notes.lnk"
  expect "its file class is there" reg_key "$classes\\CorvaneNotes.Document\\shell\\open\\command"
}

# After Notes' uninstall and the deletion of its leftovers.
expect_notes_removed() {
  expect_used_program gone Corvane Notes "$notes_key"
  expect "its extension's key is gone" absent reg_key "$classes\\.cvnote"
  expect "its Start Menu folder is gone" absent test -e "$start_menu/Notes"
  expect "its file class is gone" absent reg_key "$classes\\CorvaneNotes.Document"
  expect_used_program stays Corvane Sketch "$uninstall_key\\${sketch_guid}_is1"
  expect "the neighbour's shortcut stays" test -f "$start_menu/Sketch/Corvane Sketch.lnk"
  expect "the neighbour's file class stays" reg_key "$classes\\CorvaneSketch.Document\\shell\\open\\command"
}

# The backup (by default the one vorlix-cli's report names) brings back what went from the registry.
expect_notes_backup_restores() {  # [BACKUP]
  expect_backup_restores "$@"
  expect "the backup restores the extension's key" reg_key "$classes\\.cvnote"
}
