#include "app/window_placement.h"

namespace vorlix {

namespace {

// Half of a size, rounded to the nearest integer with halves to the even one.
int half_rounded_even(int size) {
    const int half = size / 2;
    return size % 2 == 0 || half % 2 == 0 ? half : half + 1;
}

}  // namespace

ScreenPoint centred_on_main(ScreenPoint client_origin, PixelSize main, PixelSize size) {
    return {client_origin.x + half_rounded_even(main.width) - half_rounded_even(size.width),
            client_origin.y + half_rounded_even(main.height) - half_rounded_even(size.height)};
}

bool other_window_follows(MovedWindow moved, bool overlay_visible) {
    return moved == MovedWindow::overlay ? overlay_visible : !overlay_visible;
}

}  // namespace vorlix
