// Card_Waiting: the two step indicators that follow the program's own
// uninstaller, and Scan Leftovers, enabled once that uninstaller has ended.
#pragma once

#include "app/main_view.h"
#include "ui/win32/animated_image.h"
#include "ui/win32/card_window.h"
#include "ui/win32/image_button.h"
#include "ui/win32/paint.h"
#include "ui/win32/text_label.h"

namespace vorlix::ui {

class WaitingCard {
public:
    void create(HWND parent, const RECT& design_rect, const Fonts& fonts, int scan_leftovers_id);
    void layout(UINT dpi);
    HWND hwnd() const { return card_.hwnd(); }

    // `step` is 1 or 2.
    void set_step(int step, WaitingStep state);
    void set_scan_leftovers_enabled(bool enabled) const { EnableWindow(scan_leftovers_.hwnd(), enabled); }

private:
    struct Indicator {
        AnimatedImage animation;
        TextLabel text;
        WaitingStep state;
    };
    const Fonts* fonts_ = nullptr;
    CardWindow card_;
    TextLabel title_;
    Indicator steps_[2];
    ImageButton scan_leftovers_;

    void paint(HDC dc, const RECT& client) const;
};

}  // namespace vorlix::ui
