// Reading the icons of the program rows: the platform half of the icon rules
// (the logic chose the source). Pictures are HICONs owned by ProgramIcon.
#pragma once

#include <windows.h>

#include <optional>

#include "app/program_icon.h"

namespace vorlix::ui {

std::optional<ProgramIcon> read_program_icon(const IconSource& source);
ProgramIcon resized_program_icon(const ProgramIcon& icon, int width, int height);
// The HICON of a picture; null for an empty one.
HICON icon_handle(const ProgramIcon& icon);

}  // namespace vorlix::ui
