// A card of the wizard's card panel, or any plain container: it paints
// through a given function and passes its children's notifications up to
// the main window.
#pragma once

#include <functional>

#include "ui/win32/window_base.h"

namespace vorlix::ui {

class CardWindow : public Window<CardWindow> {
public:
    using Painter = std::function<void(HDC, const RECT&)>;

    void create(HWND parent, const RECT& design_rect, Painter painter);
    std::optional<LRESULT> handle(UINT message, WPARAM wparam, LPARAM lparam);

private:
    Painter painter_;
};

}  // namespace vorlix::ui
