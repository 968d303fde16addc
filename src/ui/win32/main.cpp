// vorlix.exe: the desktop program's entry.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"Vorlix", L"Vorlix", MB_OK);
    return 0;
}
