// Reading the icons of the program rows: the platform half of the icon rules
// (the logic chose the source).
#pragma once

#include <windows.h>

#include <optional>

#include "app/program_icon.h"

namespace vorlix::ui {

// Thread-safe. The picture of width by height where the file holds one, else
// the one the system reads.
std::optional<ProgramIcon> read_program_icon(const IconSource& source, int width, int height);
ProgramIcon resized_program_icon(const ProgramIcon& icon, int width, int height);
// Draws the picture stretched to width by height (nothing for an empty one).
void draw_program_icon(HDC dc, const ProgramIcon& icon, int x, int y, int width, int height);

}  // namespace vorlix::ui
