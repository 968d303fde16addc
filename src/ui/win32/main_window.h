// The borderless 1000 by 730 main window: top band, the card panel with its
// five cards, the program list card's controls and the loading window. It
// implements the logic's View and forwards every input to TForm_Main; it
// decides nothing itself.
#pragma once

#include <memory>
#include <vector>

#include "app/Unit_VX_Main.h"
#include "app/main_view.h"
#include "ui/win32/card_window.h"
#include "ui/win32/image_button.h"
#include "ui/win32/loading_window.h"
#include "ui/win32/paint.h"
#include "ui/win32/program_rows.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

class MainWindow : public Window<MainWindow>, public View {
public:
    // Creates the window and its controls, hidden.
    void create();
    // Input goes to `logic` from now on.
    void attach(TForm_Main& logic);
    // Centres the window on its monitor's work area and shows it.
    void show_centred();
    // Keyboard shortcuts, the wheel and dialog navigation before dispatch;
    // true when the message was consumed.
    bool pre_translate(MSG& message);

    std::optional<LRESULT> handle(UINT message, WPARAM wparam, LPARAM lparam);

    // View
    os::Handle window_handle() const override { return reinterpret_cast<os::Handle>(hwnd()); }
    std::optional<FileVersion> file_version() const override;
    char16_t decimal_separator() const override;
    PixelSize logo_size() const override { return {px(32), px(32)}; }
    void show_card(Card card) override;
    void set_version_text(const std::u16string& text) override;
    void set_update_label_visible(bool visible) override;
    void list_rows_changed() override { rows_.rows_changed(); }
    void scroll_list(ListPosition where) override { rows_.scroll_to(where); }
    void scroll_list_lines(int lines) override { rows_.scroll_lines(lines); }
    void set_list_scroll_step(int design_units) override { rows_.set_scroll_step(design_units); }
    void process_pending_messages() override;
    void categories_changed() override;
    std::u16string search_text() const override;
    void set_search_text(const std::u16string& text, std::uint32_t colour_rgb) override;
    void set_search_enabled(bool enabled) override;
    void post_show_loading() override;
    bool loading_visible() const override { return loading_.visible(); }
    void show_loading_modal() override { loading_.show_modal(); }
    void close_loading() override { loading_.close(); }
    bool message_box(const std::u16string& text, MessageKind kind) override;
    std::optional<ProgramIcon> read_icon(const IconSource& source) override;
    ProgramIcon resize_icon(const ProgramIcon& icon, int width, int height) override;

private:
    TForm_Main* logic_ = nullptr;
    Fonts fonts_;
    ImageButton about_;
    ImageButton minimise_;
    ImageButton close_;
    HWND update_label_ = nullptr;
    CardWindow cards_[5];
    ProgramRows rows_;
    std::vector<std::unique_ptr<ImageButton>> category_buttons_;
    ImageButton refresh_;
    HWND search_edit_ = nullptr;
    ImageButton search_button_;
    LoadingWindow loading_;
    HBRUSH edit_brush_ = nullptr;
    COLORREF search_colour_ = 0;
    std::wstring version_text_;
    // A DPI change may resize the window even after the first show.
    bool applying_dpi_ = false;

    void layout();
    void paint_top(HDC dc, const RECT& client);
    void paint_program_card(HDC dc, const RECT& client);
    void command(int id, int code, HWND control);
    bool refuses_size(const WINDOWPOS& position) const;
};

}  // namespace vorlix::ui
