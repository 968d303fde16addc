// Showing a secondary window modally over the main window: the owner is
// disabled and messages (hand-offs of the workers included) are served until
// the window asks to close.
#pragma once

#include <windows.h>

namespace vorlix::ui {

// Moves `window` to the centre of `owner`'s client area.
void centre_on(HWND window, HWND owner);

// Disables `owner`, shows `window` with `show_command` and dispatches messages
// until `closing` is set (or the application quits); then hides `window` and
// gives the input back to `owner`.
void run_modal(HWND window, HWND owner, const bool& closing, int show_command);

}  // namespace vorlix::ui
