// Makes a registry symbolic link for the Wine scenarios, as some installers
// and malware do; reg.exe cannot. Both keys are below HKEY_LOCAL_MACHINE, in
// the 64-bit view.
//
//   reg_link LINK TARGET    creates the key LINK as a link to TARGET, exits 0
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: reg_link LINK TARGET (both below HKLM)\n", stderr);
        return 2;
    }
    HKEY link = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, argv[1], 0, nullptr, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &link, nullptr) != ERROR_SUCCESS)
        return 3;
    // The target is a kernel path, stored without its terminating null.
    const std::wstring target = std::wstring(L"\\Registry\\Machine\\") + argv[2];
    const auto status = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                                       reinterpret_cast<const BYTE*>(target.data()),
                                       static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    RegCloseKey(link);
    return status == ERROR_SUCCESS ? 0 : 4;
}
