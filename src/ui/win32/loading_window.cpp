#include "ui/win32/loading_window.h"

#include <algorithm>

#include "ui/win32/modal_loop.h"

namespace vorlix::ui {

namespace {

constexpr int width = 568;
constexpr int height = 103;
constexpr int animation_size = 55;
constexpr RECT label_rect{105, 36, 105 + 401, 36 + 30};

// Centred vertically, the division rounding toward zero.
RECT animation_rect() {
    constexpr int top = (height - animation_size) / 2;
    return RECT{25, top, 25 + animation_size, top + animation_size};
}

}  // namespace

void LoadingWindow::create(HWND owner) {
    owner_ = owner;
    Window::create(L"VorlixLoading", WS_POPUP, WS_EX_TOOLWINDOW, owner, RECT{0, 0, width, height});
    fonts_.create(dpi());
    animation_.create(hwnd(), AnimationKind::loading, animation_rect());
}

void LoadingWindow::on_dpi_changed() {
    fonts_.create(dpi());
    animation_.place(animation_rect(), dpi());
}

void LoadingWindow::show_modal() {
    SetWindowPos(hwnd(), nullptr, 0, 0, px(width), px(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    centre_on(hwnd(), owner_);
    animation_.start();
    closing_ = false;
    HWND had_focus = GetFocus();
    // Keys typed meanwhile reach none of the owner's controls.
    SetFocus(nullptr);
    // Shown without activation: under Wine an activated window is left to the
    // window manager, and without one its hiding waits for a two-second timeout.
    run_modal(hwnd(), owner_, closing_, SW_SHOWNA);
    animation_.stop();
    // The control that had the focus gets it back (the search box after a
    // search); the owner when that control is gone or hidden meanwhile.
    SetFocus(had_focus != nullptr && IsWindow(had_focus) && IsWindowVisible(had_focus) ? had_focus : owner_);
}

void LoadingWindow::close() {
    closing_ = true;
    // Wakes the modal loop should it be waiting for a message.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void LoadingWindow::paint(HDC dc, const RECT& client) {
    fill(dc, client, surface(background_colour));
    if (const Picture* background = artwork().picture(L"Loading_Bg", dpi()); background != nullptr) {
        background->draw(dc, 0, 0, client.right, client.bottom);
    }
    // The label is centred vertically, as high as its wrapped text needs.
    constexpr const wchar_t* text =
        L"Please wait while analyzing and loading the information of installed apps on your device.";
    RECT label{px(label_rect.left), 0, px(label_rect.right), 0};
    const int label_height = std::max<int>(px(label_rect.bottom - label_rect.top),
                                           measure_text(text, fonts_.bold(), label.right - label.left).cy);
    label.top = (client.bottom - label_height) / 2;
    label.bottom = label.top + label_height;
    draw_text_in(dc, text, label, fonts_.bold(), ink(dark_text_colour), DT_WORDBREAK);
}

std::optional<LRESULT> LoadingWindow::handle(UINT message, WPARAM wparam, LPARAM) {
    const auto painter = [this](HDC dc, const RECT& client) { paint(dc, client); };
    if (const auto painted = handle_paint_message(hwnd(), message, wparam, painter)) {
        return painted;
    }
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_CLOSE:
        return 0;  // only close() ends it: the modal loop waits for that
    default:
        return std::nullopt;
    }
}

}  // namespace vorlix::ui
