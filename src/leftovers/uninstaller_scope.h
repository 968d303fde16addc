// Which processes still belong to an uninstall once the started uninstaller
// has ended. Uninstallers hand over to copies of themselves in the temporary
// folder, to helpers in the program's folder or to Windows Installer; a web
// page or a program they open at the end is the user's, not the uninstall's.
#pragma once

#include <string>

#include "access/string_types.h"

namespace vorlix {

class UninstallerScope {
public:
    // Every process belongs: for callers that know nothing of the program.
    UninstallerScope() = default;
    // The temporary folders of the user and of the system, the program's
    // install location (when it has one) and the system's msiexec.exe.
    static UninstallerScope for_program(const std::u16string& install_location);

    // True for an image path inside the scope, and for an unknown (empty)
    // path: a process that cannot be told apart is waited for.
    bool holds(const std::u16string& image_path) const;

private:
    bool everything = true;
    StringList folders;   // upper-case, with a trailing backslash
    StringList programs;  // upper-case full paths
};

}  // namespace vorlix
