// The tip shown over the main window while an uninstaller runs: black at
// opacity 150 of 255, never taking the focus from the uninstaller's windows,
// with an arrow down at Scan Leftovers and a close button (Esc closes too when
// the tip has the keyboard: it takes the main window's, never another program's). Dragging it drags the main window; while hidden
// it follows the main window. Where the system applies no window opacity
// (no desktop composition) only the tip's own parts are shown, so the main
// window stays visible around them.
#pragma once

#include "ui/win32/image_button.h"
#include "ui/win32/paint.h"
#include "ui/win32/text_label.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

class TipOverlay : public Window<TipOverlay> {
public:
    void create(HWND owner);
    // Covers the owner and runs a message loop until the tip is closed.
    void show_modal();
    bool visible() const { return hwnd() != nullptr && IsWindowVisible(hwnd()); }
    // The owner moved: a hidden overlay keeps its place equal to the owner's.
    void owner_moved();

    std::optional<LRESULT> handle(UINT message, WPARAM wparam, LPARAM lparam);
    void on_dpi_changed() { layout(); }

private:
    HWND owner_ = nullptr;
    bool closing_ = false;
    bool shaped_ = false;
    Fonts fonts_;
    TextLabel tip_;
    ImageButton close_;

    void layout();
    HRGN parts_region() const;
    RECT child_rect(HWND child) const;
    void paint(HDC dc, const RECT& client) const;
};

}  // namespace vorlix::ui
