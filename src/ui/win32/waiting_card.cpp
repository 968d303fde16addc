#include "ui/win32/waiting_card.h"

#include "ui/win32/artwork.h"

namespace vorlix::ui {

namespace {

constexpr int card_width = 1000;
constexpr int band_height = 70;
constexpr int bottom_bar_top = 606 - 70;
constexpr int step_tops[2] = {113, 267};
constexpr RECT logo_rect{50, 3, 50 + 60, 3 + 60};
constexpr RECT title_rect{125, 22, card_width - 20, 22 + 22};
constexpr const wchar_t* waiting_title = L"Please wait while Vorlix initializes the uninstall process.";
constexpr const wchar_t* ended_title = L"The uninstall process has ended. Click Scan Leftovers to go on.";
constexpr RECT scan_leftovers_rect{393, bottom_bar_top + 8, 393 + 214, bottom_bar_top + 8 + 55};
constexpr const wchar_t* step_texts[2] = {
    L"Locate and launch the original uninstall program. Please wait and choose to restart later, if prompted. Do "
    L"not cancel until the process is completed.",
    L"The original uninstall process is complete. Please click Scan Leftovers to thoroughly search the app's "
    L"leftover files, folders and registry entries."};
constexpr const wchar_t* step_icons[2] = {L"Uninstall_Steps\\Waiting_Step1", L"Uninstall_Steps\\Waiting_Step2"};

// An indicator's parts, `top` units down the card.
RECT animation_rect(int top) { return RECT{120, top, 120 + 55, top + 55}; }
RECT icon_rect(int top) { return RECT{190, top + 10, 190 + 45, top + 10 + 36}; }
RECT text_rect(int top) { return RECT{255, top, card_width - 60, top + 90}; }

}  // namespace

void WaitingCard::create(HWND parent, const RECT& design_rect, const Fonts& fonts, int scan_leftovers_id) {
    fonts_ = &fonts;
    card_.create(parent, design_rect, [this](HDC dc, const RECT& client) { paint(dc, client); });
    title_.create(card_.hwnd(), 0, LabelStyle{dark_text_colour, background_colour, false, DT_LEFT});
    title_.set_text(waiting_title);
    for (int i = 0; i < 2; ++i) {
        steps_[i].animation.create(card_.hwnd(), AnimationKind::loading, animation_rect(step_tops[i]));
        steps_[i].text.create(card_.hwnd(), 0, LabelStyle{bar_colour, background_colour, false, DT_LEFT | DT_WORDBREAK});
        steps_[i].text.set_text(step_texts[i]);
    }
    scan_leftovers_.create(card_.hwnd(), scan_leftovers_id, L"Scan Leftovers",
                           {L"Bn_ScanLeftovers", L"Bn_ScanLeftovers_H", L"Bn_ScanLeftovers_D"});
}

void WaitingCard::layout(UINT dpi) {
    title_.set_fonts(fonts_->title(), fonts_->title());
    title_.place(title_rect, dpi);
    for (int i = 0; i < 2; ++i) {
        steps_[i].animation.place(animation_rect(step_tops[i]), dpi);
        steps_[i].text.set_fonts(fonts_->title(), fonts_->title());
        steps_[i].text.place(text_rect(step_tops[i]), dpi);
    }
    scan_leftovers_.place(scan_leftovers_rect, dpi);
}

void WaitingCard::set_step(int step, WaitingStep state) {
    if (step < 1 || step > 2) {
        return;
    }
    Indicator& indicator = steps_[step - 1];
    const bool was_animated = indicator.state.animated;
    indicator.state = state;
    indicator.text.set_colour(state.active ? dark_text_colour : bar_colour);
    if (state.animated && !was_animated) {
        indicator.animation.start();
    } else if (!state.animated) {
        indicator.animation.stop();
    }
    // Both steps done: nothing is waited for any more.
    const bool ended = steps_[1].state.active && !steps_[0].state.animated && !steps_[1].state.animated;
    title_.set_text(ended ? ended_title : waiting_title);
    const RECT icon = scale_rect(icon_rect(step_tops[step - 1]), dpi_for_window(card_.hwnd()));
    InvalidateRect(card_.hwnd(), &icon, FALSE);
}

void WaitingCard::paint(HDC dc, const RECT& client) const {
    const UINT dpi = dpi_for_window(card_.hwnd());
    fill(dc, client, surface(background_colour));
    artwork().draw(dc, L"Uninstall_Steps\\Waiting_Logo", logo_rect, dpi);
    artwork().draw(dc, L"Uninstall_Steps\\Step_Line", RECT{0, band_height - 4, card_width, band_height}, dpi);
    for (int i = 0; i < 2; ++i) {
        artwork().draw(dc, std::wstring(step_icons[i]) + (steps_[i].state.active ? L"_H" : L""),
                       icon_rect(step_tops[i]), dpi);
    }
    fill(dc, RECT{0, scale_to_dpi(bottom_bar_top, dpi), client.right, client.bottom}, surface(bar_colour));
}

}  // namespace vorlix::ui
