#include "leftovers/windows_classes.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {

namespace {

// Upper-cased, sorted: the classes of a clean installation that programs
// commonly take a verb of (shell folders, executables, scripts, documents,
// pictures, protocols).
constexpr std::array<std::u16string_view, 57> windows_classes = {
    u"*", u"ALLFILESYSTEMOBJECTS", u"APPLICATION.REFERENCE", u"APPLICATIONS", u"BATFILE",
    u"CALLTO", u"CMDFILE", u"COMFILE", u"CPLFILE", u"DESKTOPBACKGROUND", u"DIRECTORY", u"DLLFILE",
    u"DRIVE", u"EXEFILE", u"FILE", u"FOLDER", u"FTP", u"GIFFILE", u"HLPFILE", u"HTMLFILE", u"HTTP",
    u"HTTPS", u"INFFILE", u"INIFILE", u"INTERNETSHORTCUT", u"JPEGFILE", u"JSEFILE", u"JSFILE",
    u"LIBRARYFOLDER", u"LNKFILE", u"MAILTO", u"MHTMLFILE", u"MS-SETTINGS", u"MSCFILE", u"MSI.PACKAGE",
    u"MSI.PATCH", u"NETWORK", u"NEWS", u"OCXFILE", u"PAINT.PICTURE", u"PIFFILE", u"PNGFILE", u"PRINTERS",
    u"REGEDIT", u"REGFILE", u"SCRFILE", u"SHCMDFILE", u"SYSFILE", u"SYSTEMFILEASSOCIATIONS", u"TELNET",
    u"TIFFILE", u"TXTFILE", u"UNKNOWN", u"URL", u"VBSFILE", u"WSFFILE", u"XMLFILE",
};

}  // namespace

bool is_windows_class(const std::u16string& name) {
    const auto upper = Str_UpperAscii(Str_Trim(name));
    return std::binary_search(windows_classes.begin(), windows_classes.end(), std::u16string_view(upper));
}

}  // namespace vorlix
