# Two per-machine Windows Installer products of one vendor that share a
# component (the same component code below C:\Program Files\Ashgrove\Common);
# one is used, then uninstalled through vorlix-cli: Windows Installer keeps the
# shared component for the other product, and so must vorlix-cli. Its own
# leftovers go, the neighbour keeps everything, the backup restores what went
# from the registry. (Wine's msiexec asks nothing before a removal, so there is
# no "No" to give here.)
#   uninstall-msi-shared.sh CLI
source "$(dirname "$0")/lib.sh"
cli=$1
fixtures=$scenario_dir/../../fixtures/installers
studio_code='{A1B2C3D4-E5F6-4A7B-8C9D-0E1F2A3B4C5D}' player_code='{D4E5F6A7-B8C9-4DAE-9F20-3B4C5D6E7F80}'
common=$drive_c/Program\ Files/Ashgrove/Common
for product in "Studio $studio_code {B2C3D4E5-F6A7-4B8C-9D0E-1F2A3B4C5D6E} {C3D4E5F6-A7B8-4C9D-8E1F-2A3B4C5D6E7F}" \
  "Player $player_code {E5F6A7B8-C9DA-4EBF-8031-4C5D6E7F8091} {F6A7B8C9-DAEB-4FC0-9142-5D6E7F8091A2}"; do
  read -r name code upgrade component <<<"$product"
  msi=$WINEPREFIX/ashgrove-$name.msi
  (cd "$fixtures" && wixl -a x64 -D Product=$name -D ProductCode=$code -D UpgradeCode=$upgrade \
    -D ComponentCode=$component -o "$msi" ashgrove.wxs) &&
    timeout -k 10 300 "$wine64" msiexec /i "$("$wine64" winepath -w "$msi" 2>/dev/null)" /qn ||
    { echo "FAILED: installing $name"; exit 1; }
  use_program Ashgrove $name
done
restorable_before=$(restorable)
expect "the shared component is installed" test -f "$common/ashcore.dll"

start_uninstall "$cli" "Ashgrove Studio" 'msiexec'
end_uninstall
expect_equal "Windows Installer's exit code" "$(jq -r .uninstaller.exit_code <<<"$output")" 0
expect_removed_report Ashgrove Studio Player
expect_equal "the report claims nothing of the shared component" \
  "$(jq '[.leftovers[][] | select(test("Common"; "i"))] | length' <<<"$output")" 0
expect_used_program gone Ashgrove Studio "$uninstall_key\\$studio_code"
expect "the shared component stays for the neighbour" test -f "$common/ashcore.dll"
expect_used_program stays Ashgrove Player "$uninstall_key\\$player_code"
expect_backup_restores
finish
