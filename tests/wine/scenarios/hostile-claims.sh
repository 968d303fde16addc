# Programs whose registry data names what belongs to Windows, to the user or
# to other programs: a relative location, a rooted one, folders Windows and the
# shell keep, a folder holding another program's, a shared extension and an
# Uninstall key whose name holds the entry separator. Each is uninstalled with
# `uninstall --yes`; the prefix's files and registry are compared before the
# programs were added and after all of them went: nothing that was there
# before may be gone. The prefix's links to the Linux home folders and the Z:
# drive are cut first, so that a fault cannot reach this machine.
#   hostile-claims.sh CLI
source "$(dirname "$0")/lib.sh"
cli=$1
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}

# ---- no way out of the prefix
for drive in "$WINEPREFIX"/dosdevices/?:; do
  [ "$(basename "$drive")" = c: ] || rm -f "$drive"
done
while IFS= read -r link; do
  rm -f "$link" && mkdir -p "$link"
done < <(find "$drive_c/users" -type l)
expect "no drive but C: is left" test "$(ls "$WINEPREFIX/dosdevices" | grep -c ':$')" -eq 1
expect "no link is left below the users' folders" test -z "$(find "$drive_c/users" -type l)"

profile=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
user=$(basename "$profile")
roaming=$profile/AppData/Roaming
programs_menu=$roaming/Microsoft/Windows/Start\ Menu/Programs
win_profile="C:\\\\users\\\\$user"
uninstall_reg='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# The scenario's own files stay inside the prefix: Wine sees nothing outside it now.
setup=$drive_c/vorlix-setup
mkdir -p "$setup"
import_reg() {  # NAME: a .reg file in the setup folder
  (cd "$drive_c" && "$wine64" reg import "C:\\vorlix-setup\\$1" /reg:64)
}

# One item per file and folder; one per registry key and value (timestamps left out).
snapshot() {  # FILE
  "$wineserver" -w
  {
    (cd "$drive_c" && find . -path ./vorlix -prune -o -path ./vorlix-setup -prune -o -ipath './windows/temp' -prune \
      -o -ipath './users/*/AppData/Local/Temp' -prune -o -print | sed 's/^/file /')
    for hive in system.reg user.reg; do
      awk -v hive="$hive" '
        /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print "key " hive " " key; next }
        /^(#|;;|WINE REGISTRY|$)/ { next }
        { line = $0
          while (line ~ /\\$/ && (getline more) > 0) { sub(/\\$/, "", line); sub(/^ +/, "", more); line = line more }
          print "value " hive " " key " " line }' "$WINEPREFIX/$hive"
    done
  } | LC_ALL=C sort -u >"$1"
}

# ---- what Windows, the user and the other programs own
mkdir -p "$drive_c/Program Files/Common Files/System/ado" "$drive_c/Program Files/Acme/Other" \
  "$profile/Pictures" "$profile/Documents" "$programs_menu/Vendor" "$roaming/Microsoft/Credentials"
echo dll >"$drive_c/Program Files/Common Files/System/ado/msado15.dll"
echo exe >"$drive_c/Program Files/Acme/Other/other.exe"
echo dll >"$drive_c/Program Files/Acme/Other/other.dll"
echo jpg >"$profile/Pictures/photo.jpg"
echo txt >"$profile/Documents/letter.txt"
echo lnk >"$programs_menu/Vendor/vendor.lnk"
echo key >"$roaming/Microsoft/Credentials/cred.bin"
cat >"$setup/neighbours.reg" <<REG
Windows Registry Editor Version 5.00

[$uninstall_reg\\Acme Other]
"DisplayName"="Acme Other"
"InstallLocation"="C:\\\\Program Files\\\\Acme\\\\Other\\\\"
"UninstallString"="C:\\\\Program Files\\\\Acme\\\\Other\\\\uninst.exe"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{0A000000-0000-0000-0000-000000000001}\\InprocServer32]
@="C:\\\\Program Files\\\\Acme\\\\Other\\\\other.dll"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{0A000000-0000-0000-0000-000000000001}\\ProgID]
@="Acme.Other.1"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\Acme.Other.1\\CLSID]
@="{0A000000-0000-0000-0000-000000000001}"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\Acme.Doc\\shell\\open\\command]
@="\\"C:\\\\Program Files\\\\Acme\\\\Other\\\\other.exe\\" \\"%1\\""

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.acmedoc]
@="Acme.Doc"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]
"AcmeOther"="C:\\\\Program Files\\\\Acme\\\\Other\\\\other.exe"
"Letter"="$win_profile\\\\Documents\\\\letter.txt"

[$uninstall_reg\\Tool]
"DisplayName"="Tool Classic"
"UninstallString"="C:\\\\Classic\\\\uninst.exe"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt]
@="txtfile"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt\\OpenWithProgids]
"txtfile"=""
REG
expect "the neighbours are registered" import_reg neighbours.reg

# Wine's own changes between two runs that touch nothing are no fault.
snapshot "$WINEPREFIX/before.txt"
run_cli "$cli" env >/dev/null
snapshot "$WINEPREFIX/again.txt"
LC_ALL=C comm -23 "$WINEPREFIX/before.txt" "$WINEPREFIX/again.txt" >"$WINEPREFIX/noise.txt"

# ---- the hostile programs; each uninstaller removes its own entry, Texter's also gives .txt back
uninstaller() {  # KEY [EXTRA COMMAND]
  printf '"UninstallString"="C:\\\\windows\\\\system32\\\\cmd.exe /c %sreg delete \\"HKLM\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\%s\\" /f /reg:64"\n' "${2:-}" "$1"
}
program() {  # KEY NAME LOCATION [EXTRA COMMAND]
  printf '\n[%s\\%s]\n"DisplayName"="%s"\n"Publisher"="Hostile"\n"InstallLocation"="%s"\n' \
    "$uninstall_reg" "$1" "$2" "$3"
  uninstaller "$1" "${4:-}"
}
mkdir -p "$drive_c/Program Files/Texter"
echo exe >"$drive_c/Program Files/Acme/suite.exe"
echo exe >"$drive_c/Program Files/Texter/texter.exe"
{
  echo 'Windows Registry Editor Version 5.00'
  program HostileSystem32 'Hostile System32' 'system32'
  program HostileUsers 'Hostile Users' '\\Users\\'
  program HostileCommon 'Hostile Common' 'C:\\Program Files\\Common Files\\System\\'
  program HostileRoaming 'Hostile Roaming' '%APPDATA%\\Microsoft\\'
  program HostilePrograms 'Hostile Programs' "$win_profile\\\\AppData\\\\Roaming\\\\Microsoft\\\\Windows\\\\Start Menu\\\\Programs\\\\"
  program AcmeSuite 'Acme Suite' 'C:\\Program Files\\Acme\\'
  program Texter 'Texter' 'C:\\Program Files\\Texter\\' 'reg add HKLM\\Software\\Classes\\.txt /ve /d txtfile /f /reg:64 & '
  program 'Tool|UninstallString' 'Bar Tool' 'C:\\Program Files\\Texter\\Bar\\'
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\Texter.File\\shell\\open\\command]\n@="\\"C:\\\\Program Files\\\\Texter\\\\texter.exe\\" \\"%%1\\""\n'
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt]\n@="Texter.File"\n'
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt\\OpenWithProgids]\n"Texter.File"=""\n'
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"AcmeSuite"="C:\\\\Program Files\\\\Acme\\\\suite.exe"\n'
} >"$setup/hostile.reg"
expect "the hostile programs are registered" import_reg hostile.reg

# ---- every one uninstalled; the relative location from C:\windows, as the system folder would be
mkdir -p "$drive_c/vorlix" && cp "$cli" "$drive_c/vorlix/"
for name in 'Hostile System32' 'Hostile Users' 'Hostile Common' 'Hostile Roaming' 'Hostile Programs' 'Acme Suite' \
  'Texter' 'Bar Tool'; do
  output=$(cd "$drive_c/windows" && timeout -k 10 600 "$wine64" 'C:\vorlix\vorlix-cli.exe' uninstall "$name" --yes --json)
  rc=$?
  [ "$name" = Texter ] && texter=$output
  echo "$name: exit code $rc: $(jq -c '{uninstaller_started, leftovers, not_removed}' <<<"$output")"
  expect_equal "$name: the uninstaller was started" "$(jq -r .uninstaller_started <<<"$output")" true
done
expect_equal "Bar Tool's own key is listed as not removable" \
  "$(jq -r '.not_removed.registry[0] | startswith("Not removable: HKLM|")' <<<"$output")" true

snapshot "$WINEPREFIX/after.txt"
LC_ALL=C comm -23 "$WINEPREFIX/before.txt" "$WINEPREFIX/after.txt" \
  | LC_ALL=C comm -23 - "$WINEPREFIX/noise.txt" >"$WINEPREFIX/lost.txt"
echo "items before: $(wc -l <"$WINEPREFIX/before.txt"), Wine's own changes: $(wc -l <"$WINEPREFIX/noise.txt")"
head -n 20 "$WINEPREFIX/lost.txt"
expect_equal "nothing that was there before the programs is gone" "$(wc -l <"$WINEPREFIX/lost.txt")" 0
expect "Acme Suite's own program is gone" absent test -e "$drive_c/Program Files/Acme/suite.exe"
expect "Texter's own program is gone" absent test -e "$drive_c/Program Files/Texter/texter.exe"
expect "Texter's class is gone" absent reg_key "$classes\\Texter.File"
expect "Texter's entry in .txt's OpenWithProgids is gone" absent reg_value "$classes\\.txt\\OpenWithProgids" Texter.File
expect_equal ".txt is txtfile's again" "$(jq -c '.leftovers.registry | map(select(endswith(".txt|")))' <<<"$texter")" '[]'
finish
