// A push button drawn from artwork: its normal picture, the hot one under the
// mouse and (for category buttons) the selected one while it is disabled.
// A real button: it takes the keyboard focus, Space presses it, and its text
// (never drawn) names it for screen readers.
#pragma once

#include <windows.h>

#include <string>

namespace vorlix::ui {

struct ButtonPictures {
    std::wstring normal;
    std::wstring hot;
    std::wstring disabled;  // empty: the normal picture
};

class ImageButton {
public:
    ImageButton() = default;
    ImageButton(const ImageButton&) = delete;
    ImageButton& operator=(const ImageButton&) = delete;

    // A child of `parent` with the command id `id`, at a design rectangle (96 DPI).
    void create(HWND parent, int id, const std::wstring& text, ButtonPictures pictures);
    void place(const RECT& design_rect, UINT dpi) const;
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
    ButtonPictures pictures_;
    bool hot_ = false;

    static LRESULT CALLBACK subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                     DWORD_PTR self);
    void paint(HDC dc, const RECT& client) const;
};

}  // namespace vorlix::ui
