#include "ui/win32/leftover_card.h"

#include "ui/win32/artwork.h"

namespace vorlix::ui {

namespace {

// Inside the card (1000 by 606).
constexpr int card_width = 1000;
constexpr int band_height = 70;
constexpr int tab_bar_bottom = band_height + 40;
constexpr int bottom_bar_top = 606 - 70;
constexpr RECT logo_rect{20, 8, 20 + 81, 8 + 50};
constexpr RECT text_rect{112, 36, card_width - 20, 36 + 22};
constexpr RECT files_tab_rect{57, band_height + 5, 57 + 135, band_height + 5 + 35};
constexpr RECT registry_tab_rect{191, band_height + 5, 191 + 150, band_height + 5 + 35};
constexpr RECT list_rect{0, tab_bar_bottom, card_width, bottom_bar_top};
constexpr RECT main_button_rect{393, bottom_bar_top + 8, 393 + 214, bottom_bar_top + 8 + 55};
constexpr RECT back_rect{830, bottom_bar_top + 25, 830 + 147, bottom_bar_top + 25 + 20};

}  // namespace

void LeftoverCard::create(HWND parent, const RECT& design_rect, const Fonts& fonts, const LeftoverCardParts& parts) {
    fonts_ = &fonts;
    parts_ = parts;
    card_.create(parent, design_rect, [this](HDC dc, const RECT& client) { paint(dc, client); });
    HWND card = card_.hwnd();
    // Wrapped: a warning after a failed uninstaller takes two lines.
    text_.create(card, 0, LabelStyle{dark_text_colour, background_colour, false, DT_LEFT | DT_WORDBREAK});
    files_tab_.create(card, parts.first_id, L"Files/Folders", {L"Bn_Files_Folders", L"Bn_Files_Folders_H",
                                                               L"Bn_Files_Folders_H"});
    registry_tab_.create(card, parts.first_id + 1, L"Registry Entries",
                         {L"Bn_RegistryEntries", L"Bn_RegistryEntries_H", L"Bn_RegistryEntries_H"});
    const std::wstring picture = parts.main_button_picture;
    main_button_.create(card, parts.first_id + 2, parts.main_button_text, {picture, picture + L"_H", {}});
    back_.create(card, parts.first_id + 3, L"Back to the program list",
                 {L"Button_BackToSoftwareList\\Bn_BackToStep1", L"Button_BackToSoftwareList\\Bn_BackToStep1_H", {}});
}

void LeftoverCard::attach(TForm_Main& logic) {
    files_.create(card_.hwnd(), parts_.first_id + 4, L"Files/Folders path", logic, parts_.files);
    registry_.create(card_.hwnd(), parts_.first_id + 5, L"Registry path", logic, parts_.registry);
    // Tab order: tabs, list, main button, back link.
    for (HWND list : {files_.hwnd(), registry_.hwnd()}) {
        SetWindowPos(list, registry_tab_.hwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    show_tab(parts_.files);
}

void LeftoverCard::layout(UINT dpi) {
    text_.set_fonts(fonts_->bold(), fonts_->bold());
    text_.place(text_rect, dpi);
    files_tab_.place(files_tab_rect, dpi);
    registry_tab_.place(registry_tab_rect, dpi);
    main_button_.place(main_button_rect, dpi);
    back_.place(back_rect, dpi);
    if (files_.hwnd() != nullptr) {
        files_.place(list_rect, dpi, fonts_->regular());
        registry_.place(list_rect, dpi, fonts_->regular());
    }
}

void LeftoverCard::show_tab(LeftoverList list) {
    const bool files = list == parts_.files;
    files_tab_.set_selected(files);
    registry_tab_.set_selected(!files);
    ShowWindow(files_.hwnd(), files ? SW_SHOWNA : SW_HIDE);
    ShowWindow(registry_.hwnd(), files ? SW_HIDE : SW_SHOWNA);
}

void LeftoverCard::paint(HDC dc, const RECT& client) const {
    const UINT dpi = dpi_for_window(card_.hwnd());
    fill(dc, client, surface(background_colour));
    artwork().draw(dc, parts_.logo, logo_rect, dpi);
    draw_text(dc, parts_.title, scale_to_dpi(112, dpi), scale_to_dpi(9, dpi), fonts_->title(), ink(dark_text_colour));
    fill(dc, scale_rect(RECT{0, band_height, card_width, tab_bar_bottom}, dpi), surface(bar_colour));
    fill(dc, RECT{0, scale_to_dpi(bottom_bar_top, dpi), client.right, client.bottom}, surface(bar_colour));
}

}  // namespace vorlix::ui
