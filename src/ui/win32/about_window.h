// The borderless About window (755 by 440): background, version, the maker's
// three links and legal line, a close button; dragged by its background and
// shown modally over the main window.
#pragma once

#include <string>

#include "platform/os.h"

#include "ui/win32/image_button.h"
#include "ui/win32/paint.h"
#include "ui/win32/text_label.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

class AboutWindow : public Window<AboutWindow> {
public:
    void create(HWND owner);
    // Centres the window on the owner and runs a message loop until it is closed.
    void show_modal(const std::wstring& version);
    bool visible() const { return hwnd() != nullptr && IsWindowVisible(hwnd()); }

    std::optional<LRESULT> handle(UINT message, WPARAM wparam, LPARAM lparam);
    void on_dpi_changed() { layout(); }

private:
    HWND owner_ = nullptr;
    bool closing_ = false;
    Fonts fonts_;
    ImageButton close_;
    TextLabel version_;
    TextLabel home_page_;
    TextLabel support_page_;
    TextLabel email_;
    TextLabel copyright_;

    void layout();
    void command(int id);
    os::Handle handle() const;
};

}  // namespace vorlix::ui
