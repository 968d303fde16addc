// The borderless 1000 by 730 main window: top band, the card panel with its
// five cards, the program list card's controls and the loading window. It
// implements the logic's View and forwards every input to TForm_Main; it
// decides nothing itself.
#pragma once

#include <memory>
#include <vector>

#include "app/Unit_VX_Main.h"
#include "app/main_view.h"
#include "ui/win32/about_window.h"
#include "ui/win32/analysing_card.h"
#include "ui/win32/card_window.h"
#include "ui/win32/image_button.h"
#include "ui/win32/leftover_card.h"
#include "ui/win32/loading_window.h"
#include "ui/win32/paint.h"
#include "ui/win32/program_rows.h"
#include "ui/win32/text_label.h"
#include "ui/win32/tip_overlay.h"
#include "ui/win32/waiting_card.h"
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
    DownloadFunction downloader() const override;
    void set_no_activate(bool no_activate) override;
    void start_analyzing_animation() override { analysing_.start_animation(); }
    void set_analyzing_name(const std::u16string& name) override;
    void set_files_folders_count(const std::u16string& text) override;
    void set_registry_count(const std::u16string& text) override;
    void leftover_rows_changed(LeftoverList list) override { leftover_list(list).rows_changed(); }
    void set_leftover_lists_redraw(bool enabled) override;
    void show_leftover_tab(LeftoverList list) override { leftover_card(list).show_tab(list); }
    void set_step2_summary(const std::u16string& text) override;
    void set_step3_text(const std::u16string& text) override;
    void set_waiting_step(int step, WaitingStep state) override { waiting_.set_step(step, state); }
    void set_scan_leftovers_enabled(bool enabled) override { waiting_.set_scan_leftovers_enabled(enabled); }
    bool uninstall_tip_visible() const override { return tip_.visible(); }
    void show_uninstall_tip_modal() override { tip_.show_modal(); }
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
    std::optional<ProgramIcon> read_icon(const IconSource& source, PixelSize wanted) override;
    ProgramIcon resize_icon(const ProgramIcon& icon, int width, int height) override;

private:
    TForm_Main* logic_ = nullptr;
    Fonts fonts_;
    ImageButton about_;
    ImageButton minimise_;
    ImageButton close_;
    TextLabel update_label_;
    // Card_Step1, the program list; the other cards have their own classes.
    CardWindow program_card_;
    AnalysingCard analysing_;
    LeftoverCard step2_;
    WaitingCard waiting_;
    LeftoverCard step3_;
    ProgramRows rows_;
    std::vector<std::unique_ptr<ImageButton>> category_buttons_;
    ImageButton refresh_;
    HWND search_edit_ = nullptr;
    ImageButton search_button_;
    LoadingWindow loading_;
    AboutWindow about_window_;
    TipOverlay tip_;
    HBRUSH edit_brush_ = nullptr;
    COLORREF search_colour_ = 0;
    std::wstring version_text_;
    // A DPI change may resize the window even after the first show.
    bool applying_dpi_ = false;

    void layout();
    // The card windows in the order of Card.
    HWND card_window(int index) const;
    LeftoverCard& leftover_card(LeftoverList list) { return step2_.holds(list) ? step2_ : step3_; }
    ReportList& leftover_list(LeftoverList list) { return leftover_card(list).list(list); }
    void show_about();
    void paint_top(HDC dc, const RECT& client);
    void paint_program_card(HDC dc, const RECT& client);
    void command(int id, int code, HWND control);
    bool refuses_size(const WINDOWPOS& position) const;
    HWND leftover_list_at(HWND window) const;
};

}  // namespace vorlix::ui
