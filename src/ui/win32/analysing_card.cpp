#include "ui/win32/analysing_card.h"

namespace vorlix::ui {

namespace {

constexpr int card_width = 1000;
constexpr RECT animation_rect{425, 72, 425 + 150, 72 + 150};
constexpr RECT name_rect{0, 270, card_width, 270 + 19};
constexpr RECT tip_rect{0, 310, card_width, 310 + 20};
constexpr RECT line_rect{100, 350, 100 + 800, 350 + 1};
constexpr RECT files_heading_rect{100, 378, 100 + 300, 378 + 23};
constexpr RECT registry_heading_rect{600, 378, 600 + 300, 378 + 23};
constexpr RECT files_count_rect{100, 405, 100 + 300, 405 + 23};
constexpr RECT registry_count_rect{600, 405, 600 + 300, 405 + 23};
constexpr std::uint32_t counter_colour = 0xFF0000;

}  // namespace

void AnalysingCard::create(HWND parent, const RECT& design_rect, const Fonts& fonts) {
    fonts_ = &fonts;
    card_.create(parent, design_rect, [this](HDC dc, const RECT& client) { paint(dc, client); });
    animation_.create(card_.hwnd(), AnimationKind::analysing, animation_rect);
    name_.create(card_.hwnd(), 0, LabelStyle{dark_text_colour, background_colour, false, DT_CENTER});
    files_count_.create(card_.hwnd(), 0, LabelStyle{counter_colour, background_colour, false, DT_CENTER});
    registry_count_.create(card_.hwnd(), 0, LabelStyle{counter_colour, background_colour, false, DT_CENTER});
}

void AnalysingCard::layout(UINT dpi) {
    animation_.place(animation_rect, dpi);
    name_.set_fonts(fonts_->title(), fonts_->title());
    name_.place(name_rect, dpi);
    for (auto [label, rect] : {std::pair{&files_count_, files_count_rect}, {&registry_count_, registry_count_rect}}) {
        label->set_fonts(fonts_->bold(), fonts_->bold());
        label->place(rect, dpi);
    }
}

void AnalysingCard::paint(HDC dc, const RECT& client) const {
    const UINT dpi = dpi_for_window(card_.hwnd());
    fill(dc, client, surface(background_colour));
    const COLORREF text = ink(dark_text_colour);
    draw_text_in(dc, L"Please wait while the selected app is being analyzed.", scale_rect(tip_rect, dpi), fonts_->bold(),
                 text, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    fill(dc, scale_rect(line_rect, dpi), surface(bar_colour));
    draw_text_in(dc, L"Files/Folders", scale_rect(files_heading_rect, dpi), fonts_->underlined_bold(), text,
                 DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    draw_text_in(dc, L"Registry Entries", scale_rect(registry_heading_rect, dpi), fonts_->underlined_bold(), text,
                 DT_CENTER | DT_SINGLELINE | DT_VCENTER);
}

}  // namespace vorlix::ui
