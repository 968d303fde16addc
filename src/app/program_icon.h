// Which source a program's list icon comes from, decided from the icon path
// the scan reported; reading the picture itself is the platform's business.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vorlix {

// Icon index the scan reports when the icon reference named none.
inline constexpr std::int32_t no_icon_index = 0xFFFF;

// How the platform reads the picture.
enum class IconRead : std::uint8_t {
    none,                // no icon
    embedded_in_place,   // a cached installer file without an executable name: the
                         // icon embedded in it, read without writing anything beside it
    program_or_shell,    // a program file: its own first icon (the picture the shell
                         // shows for it), else the shell's large icon, else the
                         // associated icon (index 0)
    shell_or_associated, // the shell's large icon, else the associated icon (index 0)
    shell,               // the shell's large icon
    indexed,             // the icon with the given index inside the file
    icon_file,           // the file itself is an icon file
};

struct IconSource {
    char rule = 'f';  // 'a' to 'f', first rule that applies
    IconRead read = IconRead::none;
    std::u16string path;
    std::int32_t index = no_icon_index;
};

// The first rule a to f that applies to the icon path and index.
IconSource choose_icon_source(const std::u16string& path, std::int32_t index);

// A picture the platform has read; an empty icon has no image.
struct ProgramIcon {
    std::shared_ptr<const void> image;
    int width = 0;
    int height = 0;

    bool empty() const { return image == nullptr; }
};

// An icon is scaled to the logo size only when it is larger in both directions.
bool icon_needs_scaling(const ProgramIcon& icon, int logo_width, int logo_height);

}  // namespace vorlix
