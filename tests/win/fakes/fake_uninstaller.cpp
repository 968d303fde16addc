// A stand-in for misbehaving uninstallers, for the Wine scenarios. The last
// two arguments may be "--remove-entry KEY": the program then deletes
// HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KEY (64-bit view)
// first, as a successful uninstaller would.
//
//   fake_uninstaller spawn CHILD SECONDS   starts CHILD with "sleep SECONDS" and exits 0
//   fake_uninstaller sleep SECONDS         lives SECONDS, leaves <own path>.ended, exits 0
//   fake_uninstaller hang                  never exits
//   fake_uninstaller exit CODE             exits with CODE
//   fake_uninstaller print                 writes to stdout and stderr, exits 0
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int usage() {
    std::fputs("usage: fake_uninstaller spawn|sleep|hang|exit|print ... [--remove-entry KEY]\n", stderr);
    return 2;
}

bool remove_entry(const wchar_t* key) {
    const std::wstring path = std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + key;
    return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0) == ERROR_SUCCESS;
}

int spawn(const wchar_t* child, const wchar_t* seconds) {
    std::wstring command = std::wstring(L"\"") + child + L"\" sleep " + seconds;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 3;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 4 && std::wcscmp(argv[argc - 2], L"--remove-entry") == 0) {
        if (!remove_entry(argv[argc - 1])) return 4;
        argc -= 2;
    }
    if (argc < 2) return usage();
    const std::wstring mode = argv[1];
    if (mode == L"spawn" && argc == 4) return spawn(argv[2], argv[3]);
    if (mode == L"sleep" && argc == 3) {
        Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) * 1000);
        wchar_t own[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, own, MAX_PATH);
        const HANDLE mark = CreateFileW((std::wstring(own) + L".ended").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, 0, nullptr);
        if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
        return 0;
    }
    if (mode == L"hang") {
        for (;;) Sleep(INFINITE);
    }
    if (mode == L"exit" && argc == 3) return static_cast<int>(std::wcstoul(argv[2], nullptr, 0));
    if (mode == L"print") {
        std::fputs("uninstaller chatter on stdout\n", stdout);
        std::fputs("uninstaller chatter on stderr\n", stderr);
        std::fflush(stdout);
        return 0;
    }
    return usage();
}
