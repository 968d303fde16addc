# A machine as a user's looks, for bench/wine-scan-ratio.sh: `count`
# Uninstall entries of seven values below 97 vendor folders of every length
# (many of eight characters or fewer, as Adobe, Google or Mozilla), in both
# registry views and the user's hive; a quarter Windows Installer products
# (half of them also under Installer\UserData, with eight components each,
# and Installer\Products); a tenth stale (their folder is gone); some names
# beyond ASCII. The others were installed as users' programs are: two fifths
# by Inno Setup (a key named "..._is1", unins000.exe), two fifths by NSIS
# (uninstall.exe) and a fifth by installers of their own (remove.exe).
#
#   awk -v count=N -v seed=S -v user=NAME -v folders=FILE -v aliases=FILE -f scan-machine.awk
#
# Prints the .reg text (UTF-8); writes to `folders` "folder<TAB>uninstaller
# <TAB>engine" for each Windows folder to create with its program and its
# uninstaller (engine "nsis" or "plain"; the folder alone for Windows Installer
# products, whose uninstaller is msiexec), and to `aliases` "key<TAB>folder"
# for the few
# entries whose InstallLocation is to name the folder by its 8.3 alias (known
# only once the folder exists). Its own generator, so any awk gives one machine.

function random(limit) {
    state = (state * 16807) % 2147483647
    return state % limit
}

# A .reg string: backslashes and quotes escaped.
function quoted(text,    parts, n, i, out) {
    gsub(/"/, "\001", text)
    n = split(text, parts, /\\/)
    out = parts[1]
    for (i = 2; i <= n; i++) out = out "\\\\" parts[i]
    gsub(/\001/, "\\\"", out)
    return "\"" out "\""
}

function vendor_name(v,    kind) {
    kind = v % 8
    if (kind == 0) return "V" v
    if (kind == 1) return "Vendor" v
    if (kind == 2) return "Vnd" v
    if (kind == 3) return "Vendor Software " v
    if (kind == 4) return "Vendor Group International " v
    if (kind == 5) return (v % 2) ? "Müller" v : "Société Générale " v
    if (kind == 6) return "Vend" v ".io"
    return "VendorCo" v
}

function product_name(i,    kind) {
    kind = random(6)
    if (kind == 0) return "App" i
    if (kind == 1) return "Tool" i
    if (kind == 2) return "Product " i
    if (kind == 3) return "Studio Suite Professional " i
    if (kind == 4) return "Éditeur " i
    return "Program " i
}

function guid(i) { return sprintf("{%08d-ABCD-4EF0-9123-4567%08d}", 20000000 + i, i) }
function packed(i) { return sprintf("%08d%024d", 70000000 + i, i) }

function value(name, text) { printf "%s=%s\n", quoted(name), quoted(text) }

BEGIN {
    components = 8
    state = seed % 2147483646 + 1
    uninstall = "\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    print "Windows Registry Editor Version 5.00"
    for (i = 0; i < count; i++) {
        v = random(97)
        vendor = vendor_name(v)
        product = product_name(i)
        place = random(10)
        if (place == 3) {
            root = "HKEY_CURRENT_USER\\SOFTWARE"
            base = "C:\\users\\" user "\\AppData\\Local\\Programs\\"
        } else if (place % 2) {
            root = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node"
            base = "C:\\Program Files (x86)\\"
        } else {
            root = "HKEY_LOCAL_MACHINE\\SOFTWARE"
            base = "C:\\Program Files\\"
        }
        folder = base vendor "\\" product "\\"
        msi = random(4) == 0 && place != 3
        stale = random(10) == 0
        kind = random(5)
        engine = msi ? "msi" : kind < 2 ? "inno" : kind < 4 ? "nsis" : "own"
        if (engine == "inno") {
            key = root uninstall product "_is1"
            uninstaller = "unins000.exe"
            command = "\"" folder uninstaller "\""
        } else if (engine == "nsis") {
            key = root uninstall product
            uninstaller = "uninstall.exe"
            command = "\"" folder uninstaller "\""
        } else if (engine == "own") {
            key = root uninstall product
            uninstaller = "remove.exe"
            command = "\"" folder uninstaller "\" /uninstall"
        } else {
            key = root uninstall guid(i)
            uninstaller = ""
            command = "MsiExec.exe /X" guid(i)
        }
        printf "\n[%s]\n", key
        value("DisplayName", product)
        value("Publisher", vendor)
        value("DisplayVersion", "1." (i % 13))
        value("InstallLocation", folder)
        value("UninstallString", command)
        value("DisplayIcon", folder "program.exe,0")
        printf "\"EstimatedSize\"=dword:%08x\n", 1000 + i
        if (msi) print "\"WindowsInstaller\"=dword:00000001"
        if (msi && i % 2 == 0) {
            printf "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\%s\\InstallProperties]\n", packed(i)
            value("DisplayName", product)
            value("Publisher", vendor)
            value("InstallLocation", folder)
            value("UninstallString", "MsiExec.exe /X" guid(i))
            printf "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer\\Products\\%s]\n", packed(i)
            value("ProductName", product)
            value("ProductIcon", folder "program.exe")
            # Its components, each naming the file it installs, as the
            # deletion's index of what stays reads them.
            for (c = 0; c < components; c++) {
                printf "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\C%07d%04d%020d]\n", i, c, 0
                value(packed(i), folder "part" c ".dll")
            }
        }
        if (!stale && msi) print folder > folders
        if (!stale && !msi) printf "%s\t%s\t%s\n", folder, uninstaller, engine == "nsis" ? "nsis" : "plain" > folders
        # A few long-named vendors' programs are registered by their 8.3 alias
        # (ASCII only: cmd, which gives the alias, writes in the OEM code page).
        if (!stale && !msi && length(vendor) > 12 && folder !~ /[^ -~]/ && random(25) == 0)
            printf "%s\t%s\n", key, folder > aliases
    }
}
