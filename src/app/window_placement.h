// Where a secondary window (loading, About) goes: centred on the main window.
#pragma once

#include "app/main_view.h"

namespace vorlix {

struct ScreenPoint {
    int x = 0;
    int y = 0;

    bool operator==(const ScreenPoint&) const = default;
};

// Top-left corner of a window of `size` centred on the main window, whose
// client area starts at `client_origin`. Halves are rounded to the even
// neighbour on both sides, so an odd size may sit half a pixel off centre.
ScreenPoint centred_on_main(ScreenPoint client_origin, PixelSize main, PixelSize size);

// The main window and the tip overlay cover each other. While the overlay is
// shown the user drags it and the main window follows; while it is hidden
// the main window leads and the overlay follows. Testing the visibility
// keeps the two from moving each other in a loop.
enum class MovedWindow { main, overlay };
bool other_window_follows(MovedWindow moved, bool overlay_visible);

}  // namespace vorlix
