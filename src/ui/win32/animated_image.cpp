#include "ui/win32/animated_image.h"

#include <algorithm>

#include "ui/win32/paint.h"

namespace vorlix::ui {

namespace {

constexpr UINT_PTR frame_timer = 1;

struct Threshold {
    int min_height;
    const wchar_t* resource;
};

constexpr Threshold analysing_sizes[] = {{300, L"Analysising_2x"},
                                         {263, L"Analysising_1_75x"},
                                         {225, L"Analysising_1_5x"},
                                         {188, L"Analysising_1_25x"},
                                         {0, L"Analysising_1x"}};
constexpr Threshold loading_sizes[] = {
    {110, L"Loading_2x"}, {96, L"Loading_1_75x"}, {83, L"Loading_1_5x"}, {69, L"Loading_1_25x"}, {0, L"Loading_1x"}};

}  // namespace

const wchar_t* animation_resource(AnimationKind kind, int height) {
    const auto& sizes = kind == AnimationKind::analysing ? analysing_sizes : loading_sizes;
    for (const Threshold& size : sizes) {
        if (height >= size.min_height) {
            return size.resource;
        }
    }
    return sizes[std::size(sizes) - 1].resource;
}

void AnimatedImage::create(HWND parent, AnimationKind kind, const RECT& design_rect) {
    kind_ = kind;
    Window::create(L"VorlixAnimation", WS_CHILD, 0, parent, design_rect);
}

void AnimatedImage::place(const RECT& r, UINT dpi) {
    place_control(hwnd(), r, dpi);
}

void AnimatedImage::start() {
    RECT client;
    GetClientRect(hwnd(), &client);
    frames_ = artwork().animation(animation_resource(kind_, client.bottom));
    frame_ = 0;
    if (!frames_.empty()) {
        SetTimer(hwnd(), frame_timer, frames_.front().delay_ms, nullptr);
    }
    ShowWindow(hwnd(), SW_SHOWNA);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void AnimatedImage::stop() {
    KillTimer(hwnd(), frame_timer);
    ShowWindow(hwnd(), SW_HIDE);
    frames_.clear();
}

void AnimatedImage::paint(HDC dc, const RECT& client) const {
    paint_parent_background(hwnd(), dc);
    if (frames_.empty()) {
        return;
    }
    // The frame centred in the image.
    const Picture& picture = *frames_[frame_].picture;
    const int size = std::min(client.right, client.bottom);
    picture.draw(dc, (client.right - size) / 2, (client.bottom - size) / 2, size, size);
}

std::optional<LRESULT> AnimatedImage::handle(UINT message, WPARAM wparam, LPARAM) {
    const auto painter = [this](HDC dc, const RECT& client) { paint(dc, client); };
    if (const auto painted = handle_paint_message(hwnd(), message, wparam, painter)) {
        return painted;
    }
    if (message == WM_TIMER && !frames_.empty()) {
        frame_ = (frame_ + 1) % frames_.size();
        SetTimer(hwnd(), frame_timer, frames_[frame_].delay_ms, nullptr);
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    }
    if (message == WM_NCHITTEST) {
        return HTTRANSPARENT;
    }
    return std::nullopt;
}

}  // namespace vorlix::ui
