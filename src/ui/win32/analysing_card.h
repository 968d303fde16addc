// Card_Analyzing: the analysing animation, the program's name, the waiting
// tip and the two live counters under their headings.
#pragma once

#include <string>

#include "ui/win32/animated_image.h"
#include "ui/win32/card_window.h"
#include "ui/win32/paint.h"
#include "ui/win32/text_label.h"

namespace vorlix::ui {

class AnalysingCard {
public:
    void create(HWND parent, const RECT& design_rect, const Fonts& fonts);
    void layout(UINT dpi);
    HWND hwnd() const { return card_.hwnd(); }

    void start_animation() { animation_.start(); }
    // A hidden card's animation would keep its timer ticking.
    void stop_animation() { animation_.stop(); }
    void set_name(const std::wstring& name) const { name_.set_text(name); }
    void set_files_folders_count(const std::wstring& text) const { files_count_.set_text(text); }
    void set_registry_count(const std::wstring& text) const { registry_count_.set_text(text); }

private:
    const Fonts* fonts_ = nullptr;
    CardWindow card_;
    AnimatedImage animation_;
    TextLabel name_;
    TextLabel files_count_;
    TextLabel registry_count_;

    void paint(HDC dc, const RECT& client) const;
};

}  // namespace vorlix::ui
