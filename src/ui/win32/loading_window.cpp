#include "ui/win32/loading_window.h"

#include "app/window_placement.h"

namespace vorlix::ui {

namespace {

constexpr UINT_PTR animation_timer = 1;
constexpr int width = 568;
constexpr int height = 103;
constexpr int animation_size = 55;
constexpr RECT label_rect{105, 36, 105 + 401, 36 + 30};

}  // namespace

void LoadingWindow::create(HWND owner) {
    owner_ = owner;
    Window::create(L"VorlixLoading", WS_POPUP, WS_EX_TOOLWINDOW, owner, RECT{0, 0, width, height});
    fonts_.create(dpi());
}

void LoadingWindow::on_dpi_changed() { fonts_.create(dpi()); }

void LoadingWindow::load_animation() {
    // The animation whose frame size matches the image's current height.
    const int h = px(animation_size);
    const wchar_t* name = h >= 110 ? L"Loading_2x"
                          : h >= 96 ? L"Loading_1_75x"
                          : h >= 83 ? L"Loading_1_5x"
                          : h >= 69 ? L"Loading_1_25x"
                                    : L"Loading_1x";
    frames_ = artwork().animation(name);
    frame_ = 0;
}

void LoadingWindow::next_frame() {
    if (frames_.empty()) {
        return;
    }
    frame_ = (frame_ + 1) % frames_.size();
    SetTimer(hwnd(), animation_timer, frames_[frame_].delay_ms, nullptr);
    // Only the image changes: the rest of the window is not sent again.
    const RECT image = animation_rect();
    InvalidateRect(hwnd(), &image, FALSE);
}

RECT LoadingWindow::animation_rect() const {
    RECT client;
    GetClientRect(hwnd(), &client);
    const int size = px(animation_size);
    const int top = (client.bottom - size) / 2;
    return RECT{px(25), top, px(25) + size, top + size};
}

void LoadingWindow::show_modal() {
    RECT owner_rect;
    GetWindowRect(owner_, &owner_rect);
    POINT origin{0, 0};
    ClientToScreen(owner_, &origin);
    const PixelSize size{px(width), px(height)};
    const ScreenPoint at = centred_on_main(
        {origin.x, origin.y}, {owner_rect.right - owner_rect.left, owner_rect.bottom - owner_rect.top}, size);
    SetWindowPos(hwnd(), HWND_TOP, at.x, at.y, size.width, size.height, SWP_NOACTIVATE);
    load_animation();
    if (!frames_.empty()) {
        SetTimer(hwnd(), animation_timer, frames_.front().delay_ms, nullptr);
    }
    closing_ = false;
    EnableWindow(owner_, FALSE);
    // Keys typed meanwhile reach none of the owner's controls.
    SetFocus(nullptr);
    // Shown without activation: under Wine an activated window is left to the
    // window manager, and without one its hiding waits for a two-second timeout.
    ShowWindow(hwnd(), SW_SHOWNA);
    MSG message;
    while (!closing_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The quit request belongs to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    KillTimer(hwnd(), animation_timer);
    EnableWindow(owner_, TRUE);
    ShowWindow(hwnd(), SW_HIDE);
    SetActiveWindow(owner_);
    // Where the owner's activation puts the focus when it was taken from it.
    SetFocus(owner_);
}

void LoadingWindow::close() {
    closing_ = true;
    // Wakes the modal loop should it be waiting for a message.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void LoadingWindow::paint(HDC dc, const RECT& client) {
    fill(dc, client, rgb(background_colour));
    if (const Picture* background = artwork().picture(L"Loading_Bg", dpi()); background != nullptr) {
        background->draw(dc, 0, 0, client.right, client.bottom);
    }
    // Image and label are centred vertically.
    if (!frames_.empty()) {
        const RECT image = animation_rect();
        frames_[frame_].picture->draw(dc, image.left, image.top, image.right - image.left, image.bottom - image.top);
    }
    RECT label{px(label_rect.left), 0, px(label_rect.right), 0};
    const int label_height = px(label_rect.bottom - label_rect.top);
    label.top = (client.bottom - label_height) / 2;
    label.bottom = label.top + label_height;
    draw_text_in(dc,
                 L"Please wait while analyzing and loading the information of installed apps on your device.",
                 label, fonts_.bold(), rgb(dark_text_colour), DT_WORDBREAK);
}

std::optional<LRESULT> LoadingWindow::handle(UINT message, WPARAM wparam, LPARAM) {
    if (handle_paint_message(hwnd(), message, wparam, [this](HDC dc, const RECT& client) { paint(dc, client); })) {
        return message == WM_ERASEBKGND ? 1 : 0;
    }
    switch (message) {
    case WM_TIMER:
        next_frame();
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_CLOSE:
        return 0;  // only close() ends it: the modal loop waits for that
    default:
        return std::nullopt;
    }
}

}  // namespace vorlix::ui
