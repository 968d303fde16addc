#include "ui/win32/card_window.h"

#include "ui/win32/paint.h"

namespace vorlix::ui {

void CardWindow::create(HWND parent, const RECT& design_rect, Painter painter) {
    painter_ = std::move(painter);
    Window::create(L"VorlixCard", WS_CHILD | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent, design_rect);
}

std::optional<LRESULT> CardWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint_buffered(hwnd(), painter_);
        return 0;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd(), &client);
        painter_(reinterpret_cast<HDC>(wparam), client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return SendMessageW(GetParent(hwnd()), message, wparam, lparam);
    default:
        return std::nullopt;
    }
}

}  // namespace vorlix::ui
