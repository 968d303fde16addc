# Two programs of one vendor installed by real NSIS installers; one is used,
# then uninstalled through vorlix-cli, answering the uninstaller's own
# question under Xvfb as a user would: first "No" (nothing may go), then
# "Yes", after which the uninstaller runs on from its copy in %TEMP% (~nsu*.tmp)
# and vorlix-cli must wait for it. Its leftovers go, the neighbour keeps
# everything, the backup restores what went from the registry.
#   uninstall-nsis-vendor.sh CLI
source "$(dirname "$0")/lib.sh"
cli=$1
with_xvfb

start_menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Larkspur
for name in Atlas Ledger; do
  makensis -V2 -DOUTFILE="$WINEPREFIX/larkspur-$name.exe" -DPRODUCT=$name "$scenario_dir/../../fixtures/installers/larkspur.nsi" \
    && timeout -k 10 300 "$wine64" "$WINEPREFIX/larkspur-$name.exe" /S || { echo "FAILED: the $name installer"; exit 1; }
  use_program Larkspur $name
done

atlas_key="$uninstall_key\\Larkspur Atlas"
restorable_before=$(restorable)
expect "Atlas is installed" test -f "$drive_c/Program Files/Larkspur/Atlas/Atlas.exe"
expect "its Start Menu shortcut is there" test -f "$start_menu/Atlas.lnk"

expect_cancel_keeps_all "$cli" "Larkspur Atlas" 'uninstall\.exe|~nsu' "Larkspur Atlas Uninstall" Larkspur "$atlas_key"

start_uninstall "$cli" "Larkspur Atlas" 'uninstall\.exe|~nsu'
answer_boxes "Larkspur Atlas Uninstall" y
end_uninstall
expect_removed_report Larkspur Atlas Ledger
expect_used_program gone Larkspur Atlas "$atlas_key"
expect "its shortcut is gone" absent test -e "$start_menu/Atlas.lnk"
expect_used_program stays Larkspur Ledger "$uninstall_key\\Larkspur Ledger"
expect "the neighbour's shortcut stays" test -f "$start_menu/Ledger.lnk"
expect_backup_restores
finish
