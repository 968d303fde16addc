#include "ui/win32/text_label.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/dpi.h"
#include "ui/win32/paint.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

namespace {

constexpr std::uint32_t hover_colour = 0x0000FF;

}  // namespace

void TextLabel::create(HWND parent, int id, LabelStyle style) {
    style_ = style;
    // The label paints itself; its static type only tells whether it wraps.
    const DWORD type = (style.format & DT_WORDBREAK) != 0 ? SS_LEFT : SS_LEFTNOWORDWRAP;
    // A link is reached with Tab and opened with Enter, as with the mouse.
    const DWORD link = style.link ? SS_NOTIFY | WS_TABSTOP : 0;
    hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | type | link, 0, 0, 0, 0,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr);
    SetWindowSubclass(hwnd_, &TextLabel::subclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

void TextLabel::set_fonts(HFONT font, HFONT underlined) {
    font_ = font;
    underlined_ = underlined;
    // The control's own font, for whoever asks it (WM_GETFONT). A font handle
    // means nothing to another process: its height and weight are also told
    // as properties, so that a checker can measure the text as it is drawn.
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    LOGFONTW described{};
    if (font != nullptr && GetObjectW(font, sizeof described, &described) != 0) {
        SetPropW(hwnd_, font_height_property, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(described.lfHeight)));
        SetPropW(hwnd_, font_weight_property, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(described.lfWeight)));
    }
    fit();
}

void TextLabel::place(const RECT& r, UINT dpi) {
    design_ = r;
    dpi_ = dpi;
    fit();
}

void TextLabel::fit() const {
    RECT box = scale_rect(design_, dpi_);
    const HFONT font = font_ != nullptr ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const bool wrapped = (style_.format & DT_WORDBREAK) != 0;
    const SIZE needed = measure_text(window_text(hwnd_), font, wrapped ? box.right - box.left : 0);
    if (const int extra = needed.cx - (box.right - box.left); extra > 0 && !wrapped) {
        if ((style_.format & DT_CENTER) != 0) {
            box.left -= extra / 2;
            box.right += extra - extra / 2;
        } else if ((style_.format & DT_RIGHT) != 0) {
            box.left -= extra;
        } else {
            box.right += extra;
        }
    }
    box.bottom = std::max<LONG>(box.bottom, box.top + needed.cy);
    SetWindowPos(hwnd_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TextLabel::set_text(const std::wstring& text) const {
    SetWindowTextW(hwnd_, text.c_str());
    fit();
}

void TextLabel::set_colour(std::uint32_t rrggbb) {
    style_.colour = rrggbb;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TextLabel::paint(HDC dc, const RECT& client) const {
    fill(dc, client, surface(style_.background));
    const std::wstring text = window_text(hwnd_);
    const bool hover = style_.link && hot_;
    const UINT lines = (style_.format & DT_WORDBREAK) != 0 ? 0 : DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    draw_text_in(dc, text, client, hover ? underlined_ : font_, ink(hover ? hover_colour : style_.colour),
                 style_.format | lines);
    if (style_.link && GetFocus() == hwnd_) {
        const RECT focus = text_box(client, text);
        DrawFocusRect(dc, &focus);
    }
}

// Where the text stands in the box (a box may be wider than its text): the
// focus frames the text.
RECT TextLabel::text_box(const RECT& client, const std::wstring& text) const {
    const bool wrapped = (style_.format & DT_WORDBREAK) != 0;
    const SIZE needed = measure_text(text, font_, wrapped ? client.right - client.left : 0);
    const LONG width = std::min<LONG>(needed.cx + 2, client.right - client.left);
    const LONG height = std::min<LONG>(needed.cy, client.bottom - client.top);
    LONG left = client.left;
    if ((style_.format & DT_CENTER) != 0) {
        left += (client.right - client.left - width) / 2;
    } else if ((style_.format & DT_RIGHT) != 0) {
        left = client.right - width;
    }
    const LONG top = wrapped ? client.top : client.top + (client.bottom - client.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

LRESULT CALLBACK TextLabel::subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) {
    auto* self = reinterpret_cast<TextLabel*>(data);
    if (const auto handled = painted_control_message(hwnd, message, self->style_.link, self->hot_,
                                                     [self](HDC dc, const RECT& client) { self->paint(dc, client); }))
        return *handled;
    switch (message) {
    case WM_GETDLGCODE:
        // Not a static to dialog navigation: a link takes the focus and its Enter.
        if (self->style_.link) {
            const auto* pending = reinterpret_cast<const MSG*>(lparam);
            const bool enter = pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN;
            return enter ? DLGC_WANTMESSAGE : 0;
        }
        break;
    case WM_KEYDOWN:
        if (self->style_.link && wparam == VK_RETURN) {
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
    case WM_NCDESTROY:
        RemovePropW(hwnd, font_height_property);
        RemovePropW(hwnd, font_weight_property);
        RemoveWindowSubclass(hwnd, &TextLabel::subclass, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace vorlix::ui
