// The tip shown over the main window while an uninstaller runs: black at
// opacity 150 of 255, never taking the focus from the uninstaller's windows,
// with an arrow down at Scan Leftovers and a close image. Dragging it drags
// the main window; while hidden it follows the main window.
#pragma once

#include "ui/win32/paint.h"
#include "ui/win32/text_label.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

class TipOverlay : public Window<TipOverlay> {
public:
    void create(HWND owner);
    // Covers the owner and runs a message loop until the close image is clicked.
    void show_modal();
    bool visible() const { return hwnd() != nullptr && IsWindowVisible(hwnd()); }
    // The owner moved: a hidden overlay keeps its place equal to the owner's.
    void owner_moved();

    std::optional<LRESULT> handle(UINT message, WPARAM wparam, LPARAM lparam);
    void on_dpi_changed() { layout(); }

private:
    HWND owner_ = nullptr;
    bool closing_ = false;
    bool close_hot_ = false;
    Fonts fonts_;
    TextLabel tip_;

    void layout();
    void paint(HDC dc, const RECT& client) const;
    RECT close_rect() const;
};

}  // namespace vorlix::ui
