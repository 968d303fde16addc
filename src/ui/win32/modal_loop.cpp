#include "ui/win32/modal_loop.h"

#include "app/window_placement.h"

namespace vorlix::ui {

void centre_on(HWND window, HWND owner) {
    RECT owner_rect;
    GetWindowRect(owner, &owner_rect);
    RECT own;
    GetWindowRect(window, &own);
    POINT origin{0, 0};
    ClientToScreen(owner, &origin);
    const ScreenPoint at = centred_on_main({origin.x, origin.y},
                                           {owner_rect.right - owner_rect.left, owner_rect.bottom - owner_rect.top},
                                           {own.right - own.left, own.bottom - own.top});
    SetWindowPos(window, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void run_modal(HWND window, HWND owner, const bool& closing, int show_command) {
    EnableWindow(owner, FALSE);
    ShowWindow(window, show_command);
    MSG message;
    while (!closing) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The quit request belongs to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        // Tab between the window's controls; Esc sends it IDCANCEL.
        if (IsDialogMessageW(window, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    EnableWindow(owner, TRUE);
    ShowWindow(window, SW_HIDE);
    SetActiveWindow(owner);
}

}  // namespace vorlix::ui
