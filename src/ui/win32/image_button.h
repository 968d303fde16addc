// A push button drawn from artwork: its normal picture, the hot one under the
// mouse and (for categories and tabs) the selected one while it is selected.
// A real button: it takes the keyboard focus, Space presses it, and its text
// (never drawn) names it for screen readers. One with a selected picture is a
// push-like check box, so a reader announces the selection as pressed, not as
// unavailable; its window ignores clicks on it while it is selected.
#pragma once

#include <windows.h>

#include <string>

namespace vorlix::ui {

struct ButtonPictures {
    std::wstring normal;
    std::wstring hot;
    std::wstring selected;  // empty: never selected
};

class ImageButton {
public:
    ImageButton() = default;
    ImageButton(const ImageButton&) = delete;
    ImageButton& operator=(const ImageButton&) = delete;

    // A child of `parent` with the command id `id`, at a design rectangle (96 DPI).
    void create(HWND parent, int id, const std::wstring& text, ButtonPictures pictures);
    void place(const RECT& design_rect, UINT dpi) const;
    void set_selected(bool selected) const;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
    ButtonPictures pictures_;
    bool hot_ = false;

    static LRESULT CALLBACK subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                     DWORD_PTR self);
    bool selected() const;
    void paint(HDC dc, const RECT& client) const;
};

}  // namespace vorlix::ui
