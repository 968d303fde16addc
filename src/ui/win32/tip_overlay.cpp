#include "ui/win32/tip_overlay.h"

#include <dwmapi.h>

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
constexpr int parts_margin = 10;
constexpr int parts_corner = 12;
constexpr UINT take_keyboard_message = WM_APP + 11;
enum ControlId : int { id_tip = 1, id_close };

// Window opacity is applied by the desktop's compositor; without one (a
// classic desktop, Wine on a bare X server) the overlay would be opaque black.
bool opacity_applies() {
    BOOL composed = FALSE;
    return SUCCEEDED(DwmIsCompositionEnabled(&composed)) && composed != FALSE;
}

}  // namespace

void TipOverlay::create(HWND owner) {
    owner_ = owner;
    shaped_ = !opacity_applies();
    Window::create(L"VorlixTip", WS_POPUP | WS_CLIPCHILDREN,
                   WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, owner,
                   RECT{0, 0, width, height});
    SetWindowTextW(hwnd(), L"Uninstall tip");
    SetLayeredWindowAttributes(hwnd(), 0, shaped_ ? 255 : opacity, LWA_ALPHA);
    tip_.create(hwnd(), id_tip, LabelStyle{0xFFFFFF, 0x000000, false, DT_CENTER | DT_WORDBREAK});
    tip_.set_text(L"After the uninstall process is completed, please click Scan Leftovers for thorough leftover "
                  L"analysis and removal.");
    close_.create(hwnd(), id_close, L"Close", {L"Bn_Transparent_Close", L"Bn_Transparent_Close_H", {}});
    layout();
    owner_moved();
}

void TipOverlay::layout() {
    fonts_.create(dpi());
    SetWindowPos(hwnd(), nullptr, 0, 0, px(width), px(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    tip_.set_fonts(fonts_.bold(), fonts_.bold());
    tip_.place(tip_design, dpi());
    close_.place(close_design, dpi());
    if (shaped_) {
        // The window owns the region from here on.
        SetWindowRgn(hwnd(), parts_region(), TRUE);
    }
}

RECT TipOverlay::child_rect(HWND child) const {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The text and the close button in one rounded box, and the arrow below it.
HRGN TipOverlay::parts_region() const {
    const RECT text = child_rect(tip_.hwnd());
    const RECT close = child_rect(close_.hwnd());
    RECT box;
    UnionRect(&box, &text, &close);
    InflateRect(&box, px(parts_margin), px(parts_margin));
    HRGN region = CreateRoundRectRgn(box.left, box.top, box.right + 1, box.bottom + 1, px(parts_corner),
                                     px(parts_corner));
    const RECT arrow = scale_rect(arrow_design, dpi());
    HRGN arrow_region = CreateRectRgnIndirect(&arrow);
    CombineRgn(region, region, arrow_region, RGN_OR);
    DeleteObject(arrow_region);
    return region;
}

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
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Posted: it runs once the tip shows.
    PostMessageW(hwnd(), take_keyboard_message, 0, 0);
    run_modal(hwnd(), owner_, closing_, SW_SHOWNA);
}

void TipOverlay::paint(HDC dc, const RECT& client) const {
    fill(dc, client, RGB(0, 0, 0));
    artwork().draw(dc, L"Transparent_Arrow", arrow_design, dpi());
}

std::optional<LRESULT> TipOverlay::handle(UINT message, WPARAM wparam, LPARAM) {
    const auto painter = [this](HDC dc, const RECT& client) { paint(dc, client); };
    if (const auto painted = handle_paint_message(hwnd(), message, wparam, painter)) {
        return painted;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        // The overlay is a drag handle; the main window follows it.
        start_window_drag(hwnd());
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case take_keyboard_message:
        // The keyboard the main window had (the uninstaller shows no window
        // of its own, or none yet) goes to the tip; never that of another program.
        if (GetForegroundWindow() == owner_) {
            SetActiveWindow(hwnd());
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wparam) != WA_INACTIVE) {
            SetFocus(close_.hwnd());
        }
        return 0;
    case WM_MOVE:
        if (other_window_follows(MovedWindow::overlay, visible())) {
            RECT own;
            GetWindowRect(hwnd(), &own);
            SetWindowPos(owner_, nullptr, own.left, own.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wparam) == id_close || LOWORD(wparam) == IDCANCEL) {
            closing_ = true;
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
