#include "ui/win32/about_window.h"

#include "app/maker_addresses.h"
#include "app/web_links.h"
#include "platform/win32/win_common.h"
#include "ui/win32/artwork.h"
#include "ui/win32/modal_loop.h"

namespace vorlix::ui {

using os::win::wide;

namespace {

constexpr int width = 755;
constexpr int height = 440;

constexpr UINT focus_close_message = WM_APP + 10;

enum ControlId : int { id_close = 1, id_version, id_home_page, id_support_page, id_email, id_copyright };

constexpr RECT close_rect{725, 8, 725 + 16, 8 + 16};
constexpr RECT version_rect{328, 160, 328 + 400, 160 + 20};
constexpr RECT home_page_rect{328, 188, 328 + 400, 188 + 20};
constexpr RECT support_page_rect{328, 222, 328 + 400, 222 + 20};
constexpr RECT email_rect{328, 251, 328 + 400, 251 + 20};
constexpr RECT copyright_rect{190, 414, 190 + 545, 414 + 20};

}  // namespace

void AboutWindow::create(HWND owner) {
    owner_ = owner;
    Window::create(L"VorlixAbout", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, owner,
                   RECT{0, 0, width, height});
    SetWindowTextW(hwnd(), L"About Vorlix");
    close_.create(hwnd(), id_close, L"Close", {L"Button_Close\\X", L"Button_Close\\X_H", {}});
    const LabelStyle text{0x000000, background_colour};
    LabelStyle link = text;
    link.link = true;
    version_.create(hwnd(), id_version, text);
    home_page_.create(hwnd(), id_home_page, link);
    support_page_.create(hwnd(), id_support_page, link);
    email_.create(hwnd(), id_email, link);
    copyright_.create(hwnd(), id_copyright, text);
    layout();
}

void AboutWindow::layout() {
    fonts_.create(dpi());
    SetWindowPos(hwnd(), nullptr, 0, 0, px(width), px(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    close_.place(close_rect, dpi());
    const std::pair<TextLabel*, RECT> labels[] = {{&version_, version_rect},
                                                  {&home_page_, home_page_rect},
                                                  {&support_page_, support_page_rect},
                                                  {&email_, email_rect},
                                                  {&copyright_, copyright_rect}};
    for (const auto& [label, rect] : labels) {
        label->set_fonts(fonts_.bold(), fonts_.underlined_bold());
        label->place(rect, dpi());
    }
}

void AboutWindow::show_modal(const std::wstring& version) {
    version_.set_text(version);
    home_page_.set_text(wide(maker_home_page));
    support_page_.set_text(wide(maker_support_page));
    email_.set_text(wide(maker_support_email));
    copyright_.set_text(wide(maker_legal_notice));
    centre_on(hwnd(), owner_);
    closing_ = false;
    // The close button takes the focus: Enter or Space closes, as Esc does.
    // Posted: showing the window activates it, which focuses the window itself.
    PostMessageW(hwnd(), focus_close_message, 0, 0);
    run_modal(hwnd(), owner_, closing_, SW_SHOW);
}

os::Handle AboutWindow::handle() const { return reinterpret_cast<os::Handle>(hwnd()); }

void AboutWindow::command(int id) {
    switch (id) {
    case id_close:
    case IDCANCEL:
        closing_ = true;
        return;
    case id_home_page:
        open_web_address(handle(), maker_home_page);
        return;
    case id_support_page:
        open_web_address(handle(), maker_support_page);
        return;
    case id_email:
        open_mail_address(handle(), maker_support_email);
        return;
    default:
        return;
    }
}

std::optional<LRESULT> AboutWindow::handle(UINT message, WPARAM wparam, LPARAM) {
    auto paint = [this](HDC dc, const RECT& client) {
        fill(dc, client, surface(background_colour));
        if (const Picture* background = artwork().picture(L"About_Bg", dpi()); background != nullptr) {
            background->draw(dc, 0, 0, client.right, client.bottom);
        }
        // The frameless window's edge against the main window behind it.
        const HBRUSH edge = GetSysColorBrush(COLOR_BTNSHADOW);
        FrameRect(dc, &client, edge);
    };
    if (const auto painted = handle_paint_message(hwnd(), message, wparam, paint)) {
        return painted;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        // The background is the drag handle of the frameless window.
        start_window_drag(hwnd());
        return 0;
    case WM_COMMAND:
        command(LOWORD(wparam));
        return 0;
    case WM_CLOSE:
        closing_ = true;
        return 0;
    case focus_close_message:
        SetFocus(close_.hwnd());
        return 0;
    default:
        return std::nullopt;
    }
}

}  // namespace vorlix::ui
