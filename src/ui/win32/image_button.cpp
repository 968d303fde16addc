#include "ui/win32/image_button.h"

#include <commctrl.h>

#include "ui/win32/artwork.h"
#include "ui/win32/dpi.h"
#include "ui/win32/paint.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

void ImageButton::create(HWND parent, int id, const std::wstring& text, ButtonPictures pictures) {
    pictures_ = std::move(pictures);
    const DWORD kind = pictures_.selected.empty() ? BS_OWNERDRAW : BS_CHECKBOX | BS_PUSHLIKE;
    hwnd_ = CreateWindowExW(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, 0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr);
    SetWindowSubclass(hwnd_, &ImageButton::subclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

void ImageButton::place(const RECT& r, UINT dpi) const {
    SetWindowPos(hwnd_, nullptr, scale_to_dpi(r.left, dpi), scale_to_dpi(r.top, dpi),
                 scale_to_dpi(r.right - r.left, dpi), scale_to_dpi(r.bottom - r.top, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void ImageButton::set_selected(bool selected) const {
    SendMessageW(hwnd_, BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool ImageButton::selected() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void ImageButton::paint(HDC dc, const RECT& client) const {
    paint_parent_background(hwnd_, dc);
    const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    const std::wstring& name = selected()                                       ? pictures_.selected
                               : enabled && hot_ && !pictures_.hot.empty() ? pictures_.hot
                                                                           : pictures_.normal;
    if (const Picture* picture = artwork().picture(name, dpi_for_window(hwnd_)); picture != nullptr) {
        picture->draw(dc, 0, 0, client.right, client.bottom);
    }
    // The focus cue shows only once the keyboard has been used.
    if (GetFocus() == hwnd_ && (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
        DrawFocusRect(dc, &client);
    }
}

LRESULT CALLBACK ImageButton::subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<ImageButton*>(data);
    if (const auto handled = painted_control_message(hwnd, message, true, self->hot_,
                                                     [self](HDC dc, const RECT& client) { self->paint(dc, client); }))
        return *handled;
    switch (message) {
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &ImageButton::subclass, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace vorlix::ui
