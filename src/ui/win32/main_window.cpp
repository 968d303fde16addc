#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/maker_addresses.h"
#include "platform/win32/win_common.h"
#include "ui/win32/artwork.h"
#include "ui/win32/program_icons.h"
#include "ui/win32/url_download.h"

namespace vorlix::ui {

using os::win::wide;

namespace {

enum ControlId : int {
    id_about = 100,
    id_minimise,
    id_close,
    id_update_label,
    id_rows,
    id_refresh,
    id_search_edit,
    id_search_button,
    id_first_category = 200,
    id_step2_first = 300,  // LeftoverCardParts::first_id
    id_step3_first = 310,
    id_scan_leftovers = 320,
};

// Command ids of a leftover card, after its first_id.
constexpr int files_tab = 0;
constexpr int registry_tab = 1;
constexpr int main_button = 2;
constexpr int back_link = 3;

// Layout in design units (96 DPI).
constexpr int window_width = 1000;
constexpr int window_height = 730;
constexpr int top_band_height = 124;
constexpr RECT about_rect{909, 68, 909 + 73, 68 + 20};
constexpr RECT minimise_rect{955, 6, 955 + 16, 6 + 16};
constexpr RECT close_rect{974, 6, 974 + 16, 6 + 16};
constexpr RECT update_label_rect{358, 68, 358 + 255, 68 + 20};
constexpr std::uint32_t update_label_colour = 0xFF0000;
constexpr RECT card_rect{0, top_band_height, window_width, window_height};
// Inside the program list card (1000 by 606).
constexpr int card_top_band = 70;
constexpr int bottom_bar_top = 606 - 70;
constexpr int category_width = 167;
constexpr int category_height = 35;
constexpr RECT rows_rect{category_width, card_top_band, window_width, bottom_bar_top};
constexpr RECT refresh_rect{535, bottom_bar_top + 25, 535 + 92, bottom_bar_top + 25 + 21};
constexpr RECT search_bg_rect{650, bottom_bar_top + 18, 650 + 324, bottom_bar_top + 18 + 35};
constexpr RECT search_edit_rect{660, bottom_bar_top + 27, 660 + 285, bottom_bar_top + 27 + 23};
constexpr RECT search_button_rect{945, bottom_bar_top + 27, 945 + 18, bottom_bar_top + 27 + 18};

void place(HWND control, const RECT& r, UINT dpi) {
    SetWindowPos(control, nullptr, scale_to_dpi(r.left, dpi), scale_to_dpi(r.top, dpi),
                 scale_to_dpi(r.right - r.left, dpi), scale_to_dpi(r.bottom - r.top, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void draw_picture(HDC dc, const wchar_t* name, const RECT& design, UINT dpi) {
    if (const Picture* picture = artwork().picture(name, dpi); picture != nullptr) {
        picture->draw(dc, scale_to_dpi(design.left, dpi), scale_to_dpi(design.top, dpi),
                      scale_to_dpi(design.right - design.left, dpi), scale_to_dpi(design.bottom - design.top, dpi));
    }
}

}  // namespace

void MainWindow::create() {
    Window::create(L"VorlixMain", WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU,
                   WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, nullptr, RECT{0, 0, window_width, window_height});
    SetWindowTextW(hwnd(), L"Vorlix");
    edit_brush_ = CreateSolidBrush(surface(0xFFFFFF));

    about_.create(hwnd(), id_about, L"About", {L"Main_BackGround\\Bn_About", L"Main_BackGround\\Bn_About_H", {}});
    minimise_.create(hwnd(), id_minimise, L"Minimize",
                     {L"Main_BackGround\\Bn_Main_Min", L"Main_BackGround\\Bn_Main_Min_H", {}});
    close_.create(hwnd(), id_close, L"Close",
                  {L"Main_BackGround\\Bn_Main_Close", L"Main_BackGround\\Bn_Main_Close_H", {}});
    update_label_.create(hwnd(), id_update_label, LabelStyle{update_label_colour, 0xFFFFFF, true, DT_LEFT});
    update_label_.set_text(L"Newer version available. Click here to download!");
    ShowWindow(update_label_.hwnd(), SW_HIDE);

    program_card_.create(hwnd(), card_rect, [this](HDC dc, const RECT& client) { paint_program_card(dc, client); });
    analysing_.create(hwnd(), card_rect, fonts_);
    step2_.create(hwnd(), card_rect, fonts_,
                  {L"Uninstall_Steps\\Step2_LogoEx", L"Step 2:", LeftoverList::step2_files,
                   LeftoverList::step2_registry, L"Start Uninstall", L"Bn_StartUninstall", id_step2_first});
    waiting_.create(hwnd(), card_rect, fonts_, id_scan_leftovers);
    step3_.create(hwnd(), card_rect, fonts_,
                  {L"Uninstall_Steps\\Step3_LogoEx", L"Step 3:", LeftoverList::step3_files,
                   LeftoverList::step3_registry, L"Delete Leftovers", L"Bn_DeleteLeftovers", id_step3_first});
    HWND card = program_card_.hwnd();
    refresh_.create(card, id_refresh, L"Refresh", {L"Bn_Refresh", L"Bn_Refresh_H", {}});
    search_edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                   card, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_search_edit)),
                                   GetModuleHandleW(nullptr), nullptr);
    search_button_.create(card, id_search_button, L"Search", {L"Bn_Search", L"Bn_Search_H", {}});
    loading_.create(hwnd());
    about_window_.create(hwnd());
    tip_.create(hwnd());
    layout();
}

HWND MainWindow::card_window(int index) const {
    const HWND cards[] = {program_card_.hwnd(), analysing_.hwnd(), step2_.hwnd(), waiting_.hwnd(), step3_.hwnd()};
    return cards[index];
}

void MainWindow::attach(TForm_Main& logic) {
    logic_ = &logic;
    step2_.attach(logic);
    step3_.attach(logic);
    rows_.create(program_card_.hwnd(), id_rows, logic,
                 [this](const std::u16string& name) { logic_->mpu_pro_cb_BnClick_Uninstall(name); });
    // The list comes first in the tab order after the category buttons.
    SetWindowPos(rows_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    layout();
}

void MainWindow::layout() {
    fonts_.create(dpi());
    SetWindowPos(hwnd(), nullptr, 0, 0, px(window_width), px(window_height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    about_.place(about_rect, dpi());
    minimise_.place(minimise_rect, dpi());
    close_.place(close_rect, dpi());
    update_label_.set_fonts(fonts_.bold(), fonts_.underlined_bold());
    update_label_.place(update_label_rect, dpi());
    for (int i = 0; i < 5; ++i) {
        place(card_window(i), card_rect, dpi());
    }
    analysing_.layout(dpi());
    step2_.layout(dpi());
    waiting_.layout(dpi());
    step3_.layout(dpi());
    refresh_.place(refresh_rect, dpi());
    place(search_edit_, search_edit_rect, dpi());
    SendMessageW(search_edit_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.regular()), FALSE);
    search_button_.place(search_button_rect, dpi());
    if (rows_.hwnd() != nullptr) {
        rows_.place(rows_rect, dpi());
    }
    if (logic_ != nullptr) {
        categories_changed();
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void MainWindow::show_centred() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int w = px(window_width);
    const int h = px(window_height);
    SetWindowPos(hwnd(), nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
}

bool MainWindow::pre_translate(MSG& message) {
    if (logic_ == nullptr || !IsWindowEnabled(hwnd())) {
        return false;
    }
    if (message.message == WM_KEYDOWN && message.wParam == 'F' && GetKeyState(VK_CONTROL) < 0) {
        SetFocus(search_edit_);
        Edit_SetSel(search_edit_, 0, -1);
        return true;
    }
    if (message.message == WM_MOUSEWHEEL) {
        const POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
        HWND under = WindowFromPoint(at);
        if (HWND list = leftover_list_at(under); list != nullptr) {
            // A leftover list scrolls itself, whatever has the focus.
            message.hwnd = list;
            return false;
        }
        if (under == rows_.hwnd()) {
            logic_->SB_SWList_MainMouseWheel();
        }
        logic_->FormMouseWheel(GET_WHEEL_DELTA_WPARAM(message.wParam));
        return true;
    }
    return IsDialogMessageW(hwnd(), &message) != FALSE;
}

// The visible leftover list that `window` is or belongs to (its header), if any.
HWND MainWindow::leftover_list_at(HWND window) const {
    for (; window != nullptr && window != hwnd(); window = GetParent(window)) {
        for (const LeftoverCard* card : {&step2_, &step3_}) {
            if (card->owns_list(window) && IsWindowVisible(window)) {
                return window;
            }
        }
    }
    return nullptr;
}

void MainWindow::paint_top(HDC dc, const RECT& client) {
    fill(dc, client, surface(background_colour));
    draw_picture(dc, L"Main_BackGround\\Main_Top", RECT{0, 0, window_width, top_band_height}, dpi());
}

void MainWindow::paint_program_card(HDC dc, const RECT& client) {
    const UINT d = dpi();
    fill(dc, client, surface(background_colour));
    draw_picture(dc, L"Uninstall_Steps\\Step1_LogoEx", RECT{20, 8, 20 + 81, 8 + 50}, d);
    draw_text(dc, L"Step 1:", px(112), px(9), fonts_.title(), ink(dark_text_colour));
    draw_text(dc, L"Please select the app you want to uninstall, and then click the trash icon to proceed.", px(112),
              px(38), fonts_.bold(), ink(dark_text_colour));
    draw_picture(dc, L"Uninstall_Steps\\Step_Line", RECT{0, card_top_band - 4, window_width, card_top_band}, d);
    // The category column's edge line runs down the whole column.
    const RECT edge{px(category_width) - 1, px(card_top_band), px(category_width), px(bottom_bar_top)};
    fill(dc, edge, GetSysColor(COLOR_BTNSHADOW));

    const RECT bar{0, px(bottom_bar_top), client.right, client.bottom};
    fill(dc, bar, surface(bar_colour));
    draw_text(dc, version_text_, px(20), px(bottom_bar_top + 30), fonts_.regular(), ink(0x000000));
    draw_picture(dc, L"Search_BackGround\\Search_Bg", search_bg_rect, d);
}

void MainWindow::categories_changed() {
    const auto& categories = logic_->categories();
    HWND card = program_card_.hwnd();
    while (category_buttons_.size() < categories.size()) {
        const auto& category = categories[category_buttons_.size()];
        const std::wstring skin = wide(category.skin_name);
        auto button = std::make_unique<ImageButton>();
        button->create(card, id_first_category + static_cast<int>(category_buttons_.size()),
                       wide(category.name_text), {skin, skin + L"_H", skin + L"_A"});
        // Tab order: the categories in their order, then the list.
        HWND before = category_buttons_.empty() ? HWND_TOP : category_buttons_.back()->hwnd();
        SetWindowPos(button->hwnd(), before, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        category_buttons_.push_back(std::move(button));
    }
    // Visible categories stack from the top of the column in their fixed order.
    int top = card_top_band;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        HWND button = category_buttons_[i]->hwnd();
        category_buttons_[i]->set_selected(!categories[i].button_enabled);
        ShowWindow(button, categories[i].visible ? SW_SHOWNA : SW_HIDE);
        if (categories[i].visible) {
            category_buttons_[i]->place(RECT{0, top, category_width - 1, top + category_height}, dpi());
            top += category_height;
        }
    }
}

void MainWindow::command(int id, int code, HWND control) {
    // A selected category or tab is chosen already.
    if (logic_ == nullptr || (control != nullptr && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED)) {
        return;
    }
    switch (id) {
    case IDOK:
        // Enter: the search box searches, the list acts on its focus row, a button is pressed.
        if (HWND focus = GetFocus(); focus == search_edit_) {
            logic_->ed_Step1_SearchKeyDown(VK_RETURN);
        } else if (focus != nullptr && focus != rows_.hwnd() && GetParent(focus) != nullptr) {
            SendMessageW(focus, BM_CLICK, 0, 0);
        }
        return;
    case id_about:
        show_about();
        return;
    case id_update_label:
        if (code == STN_CLICKED) {
            logic_->lb_Main_CanUpdateInfoClick();
        }
        return;
    case id_step2_first + files_tab:
        logic_->Bn_Step2_FileslistClick();
        return;
    case id_step2_first + registry_tab:
        logic_->Bn_Step2_RegistrylistClick();
        return;
    case id_step2_first + main_button:
        logic_->Bn_StartUninstallClick();
        return;
    case id_step2_first + back_link:
        logic_->Bn_Step2_BackToSoftwareListClick();
        return;
    case id_scan_leftovers:
        logic_->Bn_ScanLeftoversClick();
        return;
    case id_step3_first + files_tab:
        logic_->Bn_Step3_FileslistClick();
        return;
    case id_step3_first + registry_tab:
        logic_->Bn_Step3_RegistrylistClick();
        return;
    case id_step3_first + main_button:
        logic_->Bn_DeleteLeftoversClick();
        return;
    case id_step3_first + back_link:
        logic_->Bn_Step3_BackToSoftwareListClick();
        return;
    case id_minimise:
        ShowWindow(hwnd(), SW_MINIMIZE);
        return;
    case id_close:
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        return;
    case id_refresh:
        logic_->Bn_RefreshClick();
        return;
    case id_search_button:
        logic_->Bn_SearchClick();
        return;
    case id_search_edit:
        if (code == EN_SETFOCUS) {
            logic_->ed_Step1_SearchEnter();
        }
        return;
    default:
        if (id >= id_first_category && id < id_first_category + static_cast<int>(category_buttons_.size()) &&
            control != nullptr) {
            const auto& category = logic_->categories()[static_cast<std::size_t>(id - id_first_category)];
            logic_->mpu_pro_cb_BnClick_Classified(category.mpu_Background_Panel_Caption);
        }
        return;
    }
}

bool MainWindow::refuses_size(const WINDOWPOS& position) const {
    if (applying_dpi_ || logic_ == nullptr || logic_->FormCanResize() || (position.flags & SWP_NOSIZE) != 0) {
        return false;
    }
    RECT current;
    GetWindowRect(hwnd(), &current);
    return position.cx != current.right - current.left || position.cy != current.bottom - current.top;
}

std::optional<LRESULT> MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    const auto painter = [this](HDC dc, const RECT& client) { paint_top(dc, client); };
    if (const auto painted = handle_paint_message(hwnd(), message, wparam, painter)) {
        return painted;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        // The top image is the drag handle of the frameless window.
        if (GET_Y_LPARAM(lparam) < px(top_band_height)) {
            start_window_drag(hwnd());
        }
        return 0;
    case WM_MOVE:
        tip_.owner_moved();
        return std::nullopt;
    case WM_WINDOWPOSCHANGING:
        if (auto* position = reinterpret_cast<WINDOWPOS*>(lparam); refuses_size(*position)) {
            position->flags |= SWP_NOSIZE;
        }
        return 0;
    case WM_SIZING:
        if (logic_ != nullptr && !logic_->FormCanResize() && !applying_dpi_) {
            GetWindowRect(hwnd(), reinterpret_cast<RECT*>(lparam));
            return TRUE;
        }
        return std::nullopt;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        applying_dpi_ = true;
        SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        layout();
        applying_dpi_ = false;
        if (logic_ != nullptr) {
            logic_->logo_size_changed();
        }
        return 0;
    }
    case WM_COMMAND:
        command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
        if (rows_.hwnd() != nullptr && rows_.notify(header, result)) {
            return result;
        }
        if (logic_ != nullptr && (step2_.notify(header) || step3_.notify(header))) {
            return 0;
        }
        return std::nullopt;
    }
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(lparam) == search_edit_) {
            auto dc = reinterpret_cast<HDC>(wparam);
            SetTextColor(dc, search_colour_);
            SetBkColor(dc, surface(0xFFFFFF));
            return reinterpret_cast<LRESULT>(edit_brush_);
        }
        return std::nullopt;
    case show_loading_message:
        if (logic_ != nullptr) {
            logic_->on_show_loading_message();
        }
        return 0;
    case WM_CLOSE:
        if (logic_ != nullptr) {
            logic_->FormClose();
        }
        DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        DeleteObject(edit_brush_);
        PostQuitMessage(0);
        return 0;
    default:
        return std::nullopt;
    }
}

std::optional<FileVersion> MainWindow::file_version() const {
    wchar_t path[MAX_PATH * 4];
    if (GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path))) == 0) {
        return std::nullopt;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixed_size = 0;
    if (!GetFileVersionInfoW(path, 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) || fixed == nullptr) {
        return std::nullopt;
    }
    return FileVersion{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                       LOWORD(fixed->dwFileVersionLS)};
}

char16_t MainWindow::decimal_separator() const {
    wchar_t separator[8] = L".";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, static_cast<int>(std::size(separator)));
    return static_cast<char16_t>(separator[0]);
}

void MainWindow::show_card(Card card) {
    const int active = static_cast<int>(card);
    for (int i = 0; i < 5; ++i) {
        ShowWindow(card_window(i), i == active ? SW_SHOW : SW_HIDE);
    }
    if (card != Card::Card_Analyzing) {
        analysing_.stop_animation();
    }
}

void MainWindow::set_version_text(const std::u16string& text) {
    version_text_ = wide(text);
    InvalidateRect(program_card_.hwnd(), nullptr, FALSE);
}

void MainWindow::set_update_label_visible(bool visible) {
    ShowWindow(update_label_.hwnd(), visible ? SW_SHOW : SW_HIDE);
}

DownloadFunction MainWindow::downloader() const { return &download_to_file; }

void MainWindow::set_no_activate(bool no_activate) {
    const LONG style = GetWindowLongW(hwnd(), GWL_EXSTYLE);
    SetWindowLongW(hwnd(), GWL_EXSTYLE, no_activate ? style | WS_EX_NOACTIVATE : style & ~WS_EX_NOACTIVATE);
}

void MainWindow::set_analyzing_name(const std::u16string& name) { analysing_.set_name(wide(name)); }

void MainWindow::set_files_folders_count(const std::u16string& text) { analysing_.set_files_folders_count(wide(text)); }

void MainWindow::set_registry_count(const std::u16string& text) { analysing_.set_registry_count(wide(text)); }

void MainWindow::set_leftover_lists_redraw(bool enabled) {
    for (LeftoverList list : {LeftoverList::step2_files, LeftoverList::step2_registry, LeftoverList::step3_files,
                              LeftoverList::step3_registry}) {
        leftover_list(list).set_redraw(enabled);
    }
}

void MainWindow::set_step2_summary(const std::u16string& text) { step2_.set_text(wide(text)); }

void MainWindow::set_step3_text(const std::u16string& text) { step3_.set_text(wide(text)); }

void MainWindow::show_about() {
    const std::optional<FileVersion> version = file_version();
    about_window_.show_modal(wide(version_label_text(version.value_or(FileVersion{}))));
}

void MainWindow::process_pending_messages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!pre_translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

std::u16string MainWindow::search_text() const {
    const std::wstring text = window_text(search_edit_);
    return {text.begin(), text.end()};
}

void MainWindow::set_search_text(const std::u16string& text, std::uint32_t colour_rgb) {
    search_colour_ = ink(colour_rgb);
    SetWindowTextW(search_edit_, wide(text));
    InvalidateRect(search_edit_, nullptr, TRUE);
}

void MainWindow::set_search_enabled(bool enabled) { EnableWindow(search_button_.hwnd(), enabled); }

void MainWindow::post_show_loading() { PostMessageW(hwnd(), show_loading_message, 0, 0); }

bool MainWindow::message_box(const std::u16string& text, MessageKind kind) {
    UINT flags = MB_OK | MB_ICONINFORMATION;
    if (kind == MessageKind::error) {
        flags = MB_OK | MB_ICONERROR;
    } else if (kind == MessageKind::question) {
        flags = MB_YESNO | MB_ICONQUESTION;
    } else if (kind == MessageKind::risky_question) {
        // Enter on a question that can break a program must not answer Yes.
        flags = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
    }
    return MessageBoxW(hwnd(), wide(text), wide(message_caption), flags) == IDYES;
}

std::optional<ProgramIcon> MainWindow::read_icon(const IconSource& source, PixelSize wanted) {
    return read_program_icon(source, wanted.width, wanted.height);
}

ProgramIcon MainWindow::resize_icon(const ProgramIcon& icon, int width, int height) {
    return resized_program_icon(icon, width, height);
}

}  // namespace vorlix::ui
