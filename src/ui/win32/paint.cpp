#include "ui/win32/paint.h"

#include "ui/win32/dpi.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

bool high_contrast() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF surface(std::uint32_t design_rrggbb) {
    return high_contrast() ? GetSysColor(COLOR_WINDOW) : rgb(design_rrggbb);
}

COLORREF ink(std::uint32_t design_rrggbb) {
    return high_contrast() ? GetSysColor(COLOR_WINDOWTEXT) : rgb(design_rrggbb);
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void draw_text(HDC dc, const std::wstring& text, int x, int y, HFONT font, COLORREF colour) {
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
}

void draw_text_in(HDC dc, const std::wstring& text, RECT rect, HFONT font, COLORREF colour, UINT format) {
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_NOPREFIX);
    SelectObject(dc, old);
}

SIZE measure_text(const std::wstring& text, HFONT font, int wrap_width) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT needed{0, 0, wrap_width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_NOPREFIX | (wrap_width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{needed.right - needed.left, needed.bottom - needed.top};
}

std::wstring window_text(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

void paint_buffered(HWND hwnd, const std::function<void(HDC, const RECT&)>& paint) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    if (client.right > 0 && client.bottom > 0) {
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ old = SelectObject(memory, bitmap);
        paint(memory, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    EndPaint(hwnd, &ps);
}

std::optional<LRESULT> handle_paint_message(HWND hwnd, UINT message, WPARAM wparam,
                                            const std::function<void(HDC, const RECT&)>& paint) {
    switch (message) {
    case WM_PAINT:
        paint_buffered(hwnd, paint);
        return 0;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd, &client);
        paint(reinterpret_cast<HDC>(wparam), client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return std::nullopt;
    }
}

void paint_parent_background(HWND child, HDC dc) {
    HWND parent = GetParent(child);
    POINT origin{0, 0};
    MapWindowPoints(child, parent, &origin, 1);
    POINT previous;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void Fonts::create(UINT dpi) {
    release();
    auto make = [](int height, int weight, BOOL underline = FALSE) {
        return CreateFontW(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
    };
    const int nine_point = -MulDiv(9, static_cast<int>(dpi), 72);
    regular_ = make(nine_point, FW_NORMAL);
    bold_ = make(nine_point, FW_BOLD);
    underlined_bold_ = make(nine_point, FW_BOLD, TRUE);
    title_ = make(-scale_to_dpi(19, dpi), FW_BOLD);
}

void Fonts::release() {
    for (HFONT* font : {&regular_, &bold_, &underlined_bold_, &title_}) {
        if (*font != nullptr) {
            DeleteObject(*font);
            *font = nullptr;
        }
    }
}

std::optional<LRESULT> painted_control_message(HWND hwnd, UINT message, bool clickable, bool& hot,
                                               const std::function<void(HDC, const RECT&)>& paint) {
    switch (message) {
    case WM_PAINT:
        paint_buffered(hwnd, paint);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
        if (clickable) track_hot(hwnd, message, hot);
        return std::nullopt;
    case WM_SETCURSOR:
        if (!clickable) return std::nullopt;
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    default:
        return std::nullopt;
    }
}

}  // namespace vorlix::ui
