// Window-procedure plumbing shared by every window of the program: class
// registration, the object behind an HWND, dispatch to the derived class's
// handle(), the window's DPI (kept current on WM_DPICHANGED) and destruction.
#pragma once

#include <windows.h>

#include <optional>

#include "ui/win32/dpi.h"

namespace vorlix::ui {

// Moves a frameless window as if its caption had been pressed.
inline void start_window_drag(HWND hwnd) {
    ReleaseCapture();
    SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// Keeps `hot` (the mouse is over `hwnd`) current from WM_MOUSEMOVE and
// WM_MOUSELEAVE, repainting the window when it changes.
inline void track_hot(HWND hwnd, UINT message, bool& hot) {
    if (message == WM_MOUSEMOVE && !hot) {
        hot = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        InvalidateRect(hwnd, nullptr, FALSE);
    } else if (message == WM_MOUSELEAVE) {
        hot = false;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

// Derived provides `std::optional<LRESULT> handle(UINT, WPARAM, LPARAM)`;
// nullopt means the default handling. It may provide `void on_dpi_changed()`.
template <class Derived>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() {
        if (hwnd_ != nullptr) {
            DestroyWindow(hwnd_);
        }
    }

    HWND hwnd() const { return hwnd_; }
    UINT dpi() const { return dpi_; }
    // Design units at 96 DPI to this window's pixels.
    int px(int design_units) const { return scale_to_dpi(design_units, dpi_); }

    void on_dpi_changed() {}

protected:
    HWND create(const wchar_t* class_name, DWORD style, DWORD ex_style, HWND parent, const RECT& design_rect,
                HBRUSH background = nullptr) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW wc{};
        if (!GetClassInfoExW(instance, class_name, &wc)) {
            wc.cbSize = sizeof wc;
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &Window::procedure;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = background;
            wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
            wc.lpszClassName = class_name;
            RegisterClassExW(&wc);
        }
        // Children take their parent's scale; top-level windows start at the system's.
        dpi_ = parent != nullptr ? dpi_for_window(parent) : system_dpi();
        CreateWindowExW(ex_style, class_name, L"", style, px(design_rect.left), px(design_rect.top),
                        px(design_rect.right - design_rect.left), px(design_rect.bottom - design_rect.top), parent,
                        nullptr, instance, static_cast<Derived*>(this));
        return hwnd_;
    }

private:
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = hwnd;
            self->dpi_ = dpi_for_window(hwnd);
        }
        if (self == nullptr) {
            return DefWindowProcW(hwnd, message, wparam, lparam);
        }
        if (message == WM_DPICHANGED) {
            self->dpi_ = HIWORD(wparam);
            self->on_dpi_changed();
        }
        std::optional<LRESULT> result = self->handle(message, wparam, lparam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result ? *result : DefWindowProcW(hwnd, message, wparam, lparam);
    }
};

}  // namespace vorlix::ui
