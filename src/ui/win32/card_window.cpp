#include "ui/win32/card_window.h"

#include "ui/win32/paint.h"

namespace vorlix::ui {

void CardWindow::create(HWND parent, const RECT& design_rect, Painter painter) {
    painter_ = std::move(painter);
    Window::create(L"VorlixCard", WS_CHILD | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent, design_rect);
}

std::optional<LRESULT> CardWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    if (const auto painted = handle_paint_message(hwnd(), message, wparam, painter_)) {
        return painted;
    }
    switch (message) {
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
