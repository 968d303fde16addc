#include "ui/win32/tip_overlay.h"

#include <windowsx.h>

#include "app/window_placement.h"
#include "ui/win32/artwork.h"
#include "ui/win32/modal_loop.h"

namespace vorlix::ui {

namespace {

constexpr int width = 1000;
constexpr int height = 730;
constexpr BYTE opacity = 150;
constexpr RECT close_design{719, 529, 719 + 16, 529 + 16};
constexpr RECT arrow_design{481, 594, 481 + 38, 594 + 66};
constexpr RECT tip_design{265, 552, 265 + 470, 552 + 30};
constexpr int id_tip = 1;

}  // namespace

void TipOverlay::create(HWND owner) {
    owner_ = owner;
    Window::create(L"VorlixTip", WS_POPUP, WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, owner,
                   RECT{0, 0, width, height});
    SetWindowTextW(hwnd(), L"Uninstall tip");
    SetLayeredWindowAttributes(hwnd(), 0, opacity, LWA_ALPHA);
    tip_.create(hwnd(), id_tip, LabelStyle{0xFFFFFF, 0x000000, false, DT_CENTER | DT_WORDBREAK});
    tip_.set_text(L"After the uninstall process is completed, please click Scan Leftovers for thorough leftover "
                  L"analysis and removal.");
    layout();
    owner_moved();
}

void TipOverlay::layout() {
    fonts_.create(dpi());
    SetWindowPos(hwnd(), nullptr, 0, 0, px(width), px(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    tip_.set_fonts(fonts_.bold(), fonts_.bold());
    tip_.place(tip_design, dpi());
}

RECT TipOverlay::close_rect() const { return scale_rect(close_design, dpi()); }

void TipOverlay::owner_moved() {
    if (!other_window_follows(MovedWindow::main, visible())) {
        return;
    }
    RECT owner_rect;
    GetWindowRect(owner_, &owner_rect);
    SetWindowPos(hwnd(), nullptr, owner_rect.left, owner_rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TipOverlay::show_modal() {
    if (visible()) {
        return;
    }
    owner_moved();
    closing_ = false;
    close_hot_ = false;
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    run_modal(hwnd(), owner_, closing_, SW_SHOWNA);
}

void TipOverlay::paint(HDC dc, const RECT& client) const {
    fill(dc, client, RGB(0, 0, 0));
    artwork().draw(dc, L"Transparent_Arrow", arrow_design, dpi());
    artwork().draw(dc, close_hot_ ? L"Bn_Transparent_Close_H" : L"Bn_Transparent_Close", close_design, dpi());
}

std::optional<LRESULT> TipOverlay::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    const auto painter = [this](HDC dc, const RECT& client) { paint(dc, client); };
    if (const auto painted = handle_paint_message(hwnd(), message, wparam, painter)) {
        return painted;
    }
    const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    const RECT close = close_rect();
    switch (message) {
    case WM_MOUSEMOVE:
        if (const bool hot = PtInRect(&close, at) != FALSE; hot != close_hot_) {
            close_hot_ = hot;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
            TrackMouseEvent(&track);
            InvalidateRect(hwnd(), &close, FALSE);
        }
        return 0;
    case WM_MOUSELEAVE:
        close_hot_ = false;
        InvalidateRect(hwnd(), &close, FALSE);
        return 0;
    case WM_SETCURSOR: {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(hwnd(), &cursor);
        SetCursor(LoadCursorW(nullptr, PtInRect(&close, cursor) ? IDC_HAND : IDC_ARROW));
        return TRUE;
    }
    case WM_LBUTTONDOWN:
        if (PtInRect(&close, at)) {
            closing_ = true;
            return 0;
        }
        // Anywhere else the overlay is a drag handle; the main window follows it.
        start_window_drag(hwnd());
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOVE:
        if (other_window_follows(MovedWindow::overlay, visible())) {
            RECT own;
            GetWindowRect(hwnd(), &own);
            SetWindowPos(owner_, nullptr, own.left, own.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    case WM_CLOSE:
        closing_ = true;
        return 0;
    default:
        return std::nullopt;
    }
}

}  // namespace vorlix::ui
