// A list of the leftover screens: a white report view with check boxes, grid
// lines and whole-row selection, no editing and no sorting; a blank 30-unit
// column carries the check box, the 960-unit column the path. It shows the
// rows TForm_Main holds for it and hands every changed check box back.
// Rows are items of the list view itself: no window per row.
#pragma once

#include <windows.h>

#include <string>

#include "app/Unit_VX_Main.h"

namespace vorlix::ui {

class ReportList {
public:
    void create(HWND parent, int id, const std::wstring& caption, TForm_Main& logic, LeftoverList list);
    // Places the list and gives it the window's text font (made anew for each
    // DPI, so it is handed over again on every layout).
    void place(const RECT& design_rect, UINT dpi, HFONT font) const;
    HWND hwnd() const { return hwnd_; }

    // The logic's rows were added or all removed.
    void rows_changed();
    void set_redraw(bool redraw) const;
    // Handles the list's notifications; true when `header` was one of them.
    bool notify(const NMHDR& header);

private:
    HWND hwnd_ = nullptr;
    TForm_Main* logic_ = nullptr;
    LeftoverList list_ = LeftoverList::step2_files;
    // Check boxes set from the logic's rows are not reported back.
    bool filling_ = false;

    void fit_path_column() const;
};

}  // namespace vorlix::ui
