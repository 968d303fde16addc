// The program list: ONE owner-data list view that paints only the visible
// rows (custom draw) and hit-tests each row's Uninstall button. It brings
// keyboard navigation and exposes each row's name to screen readers.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <set>

#include "app/Unit_VX_Main.h"
#include "ui/win32/paint.h"

namespace vorlix::ui {

class ProgramRows {
public:
    using UninstallClick = std::function<void(const std::u16string& name)>;

    void create(HWND parent, int id, const TForm_Main& logic, UninstallClick on_uninstall);
    void place(const RECT& design_rect, UINT dpi);
    HWND hwnd() const { return hwnd_; }

    void rows_changed();
    void scroll_to(ListPosition where);
    void scroll_lines(int lines);
    void set_scroll_step(int design_units) { scroll_step_ = design_units; }
    // WM_NOTIFY from the list; false when it is not the list's.
    bool notify(const NMHDR& header, LRESULT& result);

private:
    HWND hwnd_ = nullptr;
    const TForm_Main* logic_ = nullptr;
    UninstallClick on_uninstall_;
    UINT dpi_ = 96;
    Fonts fonts_;
    HIMAGELIST row_height_list_ = nullptr;
    int scroll_step_ = list_scroll_step;
    int hot_row_ = -1;
    bool hot_button_ = false;
    // The focus row is drawn highlighted only while the keyboard drives the list.
    bool keyboard_mode_ = false;
    // Rows the mouse has left take the button-face colour.
    // Looked up by the row's name in place (std::less<>): a paint copies no text.
    std::set<std::u16string, std::less<>> left_rows_;
    // Count and follow requests not yet given to the control (see rows_changed).
    static constexpr UINT_PTR update_timer = 1;
    static constexpr DWORD frame_ms = 40;
    bool count_pending_ = false;
    bool follow_pending_ = false;
    bool timer_armed_ = false;
    DWORD last_update_ms_ = 0;

    const ZRB_InstalledSWInfo_Panel* row(int index) const;
    void fit_column() const;
    void schedule_update();
    void apply_update();
    int px(int design_units) const { return MulDiv(design_units, static_cast<int>(dpi_), 96); }
    RECT button_rect(const RECT& row_rect) const;
    void draw_row(HDC dc, int index, const RECT& row_rect) const;
    void set_hot(int row, bool on_button);
    void redraw_row(int index) const;
    int focused_row() const;
    void click_uninstall(int index) const;
    static LRESULT CALLBACK subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                     DWORD_PTR self);
};

}  // namespace vorlix::ui
