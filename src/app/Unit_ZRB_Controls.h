// One program row and one category of the program list, as records: the
// list control paints only the visible rows, so a row owns no window. Which
// rows are visible is TForm_Main::visible_rows().
#pragma once

#include <string>
#include <string_view>

#include "app/program_icon.h"
#include "app/text_blocks.h"

namespace vorlix {

struct ZRB_InstalledSWInfo_Panel {
    ProgramIcon mpu_Logo_Image;
    // Name, publisher, version, size and location, kept in the list's text
    // blocks; each text is also a C string.
    TextGroup<5> texts;

    // The row's identity: key of the row, what its Uninstall button reports
    // and what the search compares.
    std::u16string_view mpu_Name_Label() const { return texts[0]; }
    std::u16string_view mpu_Publisher_Label() const { return texts[1]; }
    std::u16string_view mpu_Version_Label() const { return texts[2]; }
    std::u16string_view mpu_Size_Label() const { return texts[3]; }
    std::u16string_view mpu_Location_Label() const { return texts[4]; }
};

struct ZRB_InstalledSWCInfo_Panel {
    // The category key (name text with a to z upper-cased): what the button
    // reports and what the selection compares.
    std::u16string mpu_Background_Panel_Caption;
    // The name a screen reader reads for the button ("Adobe").
    std::u16string name_text;
    // Artwork base name: normal picture; "_A" selected, "_H" hot.
    std::u16string skin_name;
    bool visible = false;
    // A disabled button is the selected category.
    bool button_enabled = true;
};

}  // namespace vorlix
