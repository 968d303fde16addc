// A label (one line, or wrapped) painted by itself on a solid background: plain, or a link
// that underlines itself and turns blue under the mouse and reports a click
// to its parent as STN_CLICKED. A real STATIC control, so its text is what a
// screen reader reads.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vorlix::ui {

// Window properties of a label: the LOGFONT height and weight of its font.
inline constexpr const wchar_t* font_height_property = L"VorlixFontHeight";
inline constexpr const wchar_t* font_weight_property = L"VorlixFontWeight";

struct LabelStyle {
    std::uint32_t colour = 0x000000;      // 0xRRGGBB
    std::uint32_t background = 0xFFFFFF;  // 0xRRGGBB
    bool link = false;
    UINT format = DT_LEFT;  // DT_LEFT, DT_CENTER or DT_RIGHT; DT_WORDBREAK wraps
};

class TextLabel {
public:
    TextLabel() = default;
    TextLabel(const TextLabel&) = delete;
    TextLabel& operator=(const TextLabel&) = delete;

    void create(HWND parent, int id, LabelStyle style);
    // `underlined` is the font a link takes under the mouse.
    void set_fonts(HFONT font, HFONT underlined);
    // The box grows to the measured text: a wrapped label downwards, a
    // one-line label sideways (from its alignment) and downwards.
    void place(const RECT& design_rect, UINT dpi);
    void set_text(const std::wstring& text) const;
    void set_colour(std::uint32_t rrggbb);
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
    LabelStyle style_;
    HFONT font_ = nullptr;
    HFONT underlined_ = nullptr;
    bool hot_ = false;
    RECT design_{};
    UINT dpi_ = 96;

    void fit() const;

    static LRESULT CALLBACK subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                     DWORD_PTR self);
    void paint(HDC dc, const RECT& client) const;
    RECT text_box(const RECT& client, const std::wstring& text) const;
};

}  // namespace vorlix::ui
