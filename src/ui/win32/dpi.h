// Scale of the windows: GetDpiForWindow where the system has it (looked up at
// run time: Windows 10 1607 and later), the screen's LOGPIXELSY otherwise.
#pragma once

#include <windows.h>

namespace vorlix::ui {

UINT system_dpi();
UINT dpi_for_window(HWND hwnd);

inline int scale_to_dpi(int design_units, UINT dpi) { return MulDiv(design_units, static_cast<int>(dpi), 96); }

// A design rectangle (96 DPI) in pixels.
inline RECT scale_rect(const RECT& r, UINT dpi) {
    return RECT{scale_to_dpi(r.left, dpi), scale_to_dpi(r.top, dpi), scale_to_dpi(r.right, dpi),
                scale_to_dpi(r.bottom, dpi)};
}

// Moves a child to its design rectangle at the DPI.
inline void place_control(HWND control, const RECT& design_rect, UINT dpi) {
    const RECT r = scale_rect(design_rect, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The artwork scale (100, 125, 150, 175 or 200) nearest to the DPI.
int art_scale_for_dpi(UINT dpi);

}  // namespace vorlix::ui
