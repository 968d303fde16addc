#include "ui/win32/text_label.h"

#include <commctrl.h>

#include "ui/win32/dpi.h"
#include "ui/win32/paint.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

namespace {

constexpr std::uint32_t hover_colour = 0x0000FF;

}  // namespace

void TextLabel::create(HWND parent, int id, LabelStyle style) {
    style_ = style;
    hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | (style.link ? SS_NOTIFY : 0), 0, 0, 0, 0,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr);
    SetWindowSubclass(hwnd_, &TextLabel::subclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

void TextLabel::set_fonts(HFONT font, HFONT underlined) {
    font_ = font;
    underlined_ = underlined;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TextLabel::place(const RECT& r, UINT dpi) const {
    place_control(hwnd_, r, dpi);
}

void TextLabel::set_text(const std::wstring& text) const {
    SetWindowTextW(hwnd_, text.c_str());
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TextLabel::set_colour(std::uint32_t rrggbb) {
    style_.colour = rrggbb;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TextLabel::paint(HDC dc, const RECT& client) const {
    fill(dc, client, rgb(style_.background));
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
    const bool hover = style_.link && hot_;
    const UINT lines = (style_.format & DT_WORDBREAK) != 0 ? 0 : DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    draw_text_in(dc, text, client, hover ? underlined_ : font_, rgb(hover ? hover_colour : style_.colour),
                 style_.format | lines);
}

LRESULT CALLBACK TextLabel::subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) {
    auto* self = reinterpret_cast<TextLabel*>(data);
    if (const auto handled = painted_control_message(hwnd, message, self->style_.link, self->hot_,
                                                     [self](HDC dc, const RECT& client) { self->paint(dc, client); }))
        return *handled;
    switch (message) {
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &TextLabel::subclass, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace vorlix::ui
