// The modal loading window (568 by 103): background, animation and the
// waiting text; nothing on it can be operated.
#pragma once

#include <vector>

#include "ui/win32/artwork.h"
#include "ui/win32/paint.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

class LoadingWindow : public Window<LoadingWindow> {
public:
    void create(HWND owner);
    // Centres the window on the owner's client area and runs a message loop
    // until close() is called (or the application quits).
    void show_modal();
    void close();
    bool visible() const { return hwnd() != nullptr && IsWindowVisible(hwnd()); }

    std::optional<LRESULT> handle(UINT message, WPARAM wparam, LPARAM lparam);
    void on_dpi_changed();

private:
    HWND owner_ = nullptr;
    bool closing_ = false;
    Fonts fonts_;
    std::vector<AnimationFrame> frames_;
    std::size_t frame_ = 0;

    void load_animation();
    void next_frame();
    // Where the animation image is drawn in the client area.
    RECT animation_rect() const;
    void paint(HDC dc, const RECT& client);
};

}  // namespace vorlix::ui
