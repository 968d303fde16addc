// Card_Step2 and Card_Step3, which share one arrangement: a top band with the
// step's logo, title and text, a tab bar choosing between the files/folders
// list and the registry list, and a bottom bar with the step's main button
// and the link back to the program list.
#pragma once

#include <string>

#include "app/Unit_VX_Main.h"
#include "ui/win32/card_window.h"
#include "ui/win32/image_button.h"
#include "ui/win32/paint.h"
#include "ui/win32/report_list.h"
#include "ui/win32/text_label.h"

namespace vorlix::ui {

struct LeftoverCardParts {
    const wchar_t* logo;    // artwork name
    const wchar_t* title;   // "Step 2:"
    LeftoverList files;     // the step's files/folders list
    LeftoverList registry;  // the step's registry list
    const wchar_t* main_button_text;
    const wchar_t* main_button_picture;  // its hot picture adds "_H"
    // Command ids: files tab, registry tab, main button, back link; lists use
    // the next two.
    int first_id;
};

class LeftoverCard {
public:
    void create(HWND parent, const RECT& design_rect, const Fonts& fonts, const LeftoverCardParts& parts);
    // The lists need the logic they show.
    void attach(TForm_Main& logic);
    void layout(UINT dpi);
    HWND hwnd() const { return card_.hwnd(); }

    void set_text(const std::wstring& text) const { text_.set_text(text); }
    // Makes `list` (one of this step's) the current tab.
    void show_tab(LeftoverList list);
    bool holds(LeftoverList list) const { return list == parts_.files || list == parts_.registry; }
    ReportList& list(LeftoverList list) { return list == parts_.files ? files_ : registry_; }
    bool owns_list(HWND window) const { return window == files_.hwnd() || window == registry_.hwnd(); }
    // The step's list notifications; true when `header` came from one of them.
    bool notify(const NMHDR& header) { return files_.notify(header) || registry_.notify(header); }

private:
    const Fonts* fonts_ = nullptr;
    LeftoverCardParts parts_{};
    CardWindow card_;
    TextLabel text_;
    ImageButton files_tab_;
    ImageButton registry_tab_;
    ImageButton main_button_;
    ImageButton back_;
    ReportList files_;
    ReportList registry_;

    void paint(HDC dc, const RECT& client) const;
};

}  // namespace vorlix::ui
