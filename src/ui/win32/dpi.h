// Scale of the windows: GetDpiForWindow where the system has it (looked up at
// run time: Windows 10 1607 and later), the screen's LOGPIXELSY otherwise.
#pragma once

#include <windows.h>

namespace vorlix::ui {

UINT system_dpi();
UINT dpi_for_window(HWND hwnd);

inline int scale_to_dpi(int design_units, UINT dpi) { return MulDiv(design_units, static_cast<int>(dpi), 96); }

// The artwork scale (100, 125, 150, 175 or 200) nearest to the DPI.
int art_scale_for_dpi(UINT dpi);

}  // namespace vorlix::ui
