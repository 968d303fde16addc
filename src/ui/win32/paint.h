// Drawing helpers: flicker-free painting through a memory bitmap, colours
// given as 0xRRGGBB, texts and the fonts of the windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vorlix::ui {

inline COLORREF rgb(std::uint32_t rrggbb) {
    return RGB((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

inline std::uint32_t rrggbb(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) | (static_cast<std::uint32_t>(GetGValue(colour)) << 8) |
           GetBValue(colour);
}

// In high contrast the system's colours replace the design's, for
// backgrounds and texts alike (asked at each paint: the user may switch while
// the program runs). Otherwise texts keep the design's colours too: a
// system text colour on a design background may be unreadable.
bool high_contrast();
COLORREF surface(std::uint32_t design_rrggbb);
COLORREF ink(std::uint32_t design_rrggbb);

inline constexpr std::uint32_t background_colour = 0xF1F1F1;
inline constexpr std::uint32_t bar_colour = 0xC9C9C9;
inline constexpr std::uint32_t dark_text_colour = 0x3E3E3E;

void fill(HDC dc, const RECT& rect, COLORREF colour);

// Single-line text at (x, y) in the given font and colour, transparent background.
void draw_text(HDC dc, const std::wstring& text, int x, int y, HFONT font, COLORREF colour);
// Text wrapped (or ended with an ellipsis) inside `rect`.
void draw_text_in(HDC dc, const std::wstring& text, RECT rect, HFONT font, COLORREF colour, UINT format);

// The size `text` takes in `font`: on one line when `wrap_width` is 0, else
// wrapped at that width.
SIZE measure_text(const std::wstring& text, HFONT font, int wrap_width);

// A window's text.
std::wstring window_text(HWND hwnd);

// Handles WM_PAINT of `hwnd`: `paint` draws the client area into a memory
// bitmap that is then copied to the screen in one go.
void paint_buffered(HWND hwnd, const std::function<void(HDC, const RECT&)>& paint);

// The messages every self-painted control of the program handles alike:
// buffered painting without erasing, and for what can be clicked the hover
// state (`hot`) and the hand cursor. Nullopt: the control's own handling.
std::optional<LRESULT> painted_control_message(HWND hwnd, UINT message, bool clickable, bool& hot,
                                               const std::function<void(HDC, const RECT&)>& paint);

// Handles WM_PAINT (buffered), WM_PRINTCLIENT (children asking for what lies
// behind them) and WM_ERASEBKGND (nothing: painting covers everything) and
// gives their results; nullopt for any other message.
std::optional<LRESULT> handle_paint_message(HWND hwnd, UINT message, WPARAM wparam,
                                            const std::function<void(HDC, const RECT&)>& paint);

// Lets the parent paint what lies behind a child (for pictures with alpha).
void paint_parent_background(HWND child, HDC dc);

// The fonts of one window at its DPI: Segoe UI 9 point, its bold form (also
// underlined, for links under the mouse and headings) and the bold 19-pixel title.
class Fonts {
public:
    Fonts() = default;
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    ~Fonts() { release(); }

    void create(UINT dpi);
    HFONT regular() const { return regular_; }
    HFONT bold() const { return bold_; }
    HFONT underlined_bold() const { return underlined_bold_; }
    HFONT title() const { return title_; }

private:
    HFONT regular_ = nullptr;
    HFONT bold_ = nullptr;
    HFONT underlined_bold_ = nullptr;
    HFONT title_ = nullptr;
    void release();
};

}  // namespace vorlix::ui
