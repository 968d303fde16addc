#include "ui/win32/dpi.h"

#include <cstdlib>
#include <initializer_list>

namespace vorlix::ui {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn get_dpi_for_window() {
    static const auto function = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

}  // namespace

UINT system_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT dpi_for_window(HWND hwnd) {
    if (GetDpiForWindowFn function = get_dpi_for_window(); function != nullptr && hwnd != nullptr) {
        if (const UINT dpi = function(hwnd); dpi != 0) {
            return dpi;
        }
    }
    return system_dpi();
}

int art_scale_for_dpi(UINT dpi) {
    const int percent = MulDiv(static_cast<int>(dpi), 100, 96);
    int best = 100;
    for (int scale : {125, 150, 175, 200}) {
        if (std::abs(scale - percent) < std::abs(best - percent)) {
            best = scale;
        }
    }
    return best;
}

}  // namespace vorlix::ui
