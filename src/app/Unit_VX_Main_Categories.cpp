// The category column of the first card: which categories show, which one
// is selected, and the publisher filter behind a category button.
#include <array>
#include <cstdint>

#include "access/Unit_ZRB_func_Str.h"
#include "app/Unit_VX_Main.h"

namespace vorlix {

namespace {

struct CategoryEntry {
    const char16_t* name_text;
    const char16_t* skin_name;
};

// In the order of the column.
constexpr std::array<CategoryEntry, 7> category_table{{
    {u"All", u"Bn_All"},
    {u"Apple", u"Bn_Apple"},
    {u"Adobe", u"Bn_Adobe"},
    {u"Autodesk", u"Bn_Autodesk"},
    {u"Advanced Micro Devices", u"Bn_AMD"},
    {u"intel", u"Bn_intel"},
    {u"Microsoft", u"Bn_Microsoft"},
}};

const std::u16string all_key = u"ALL";

}  // namespace

void TForm_Main::mpr_pro_CreateClassifiedPanels() {
    categories_.clear();
    mpr_dic_InstalledSWCInfo_Panels.clear();
    for (const auto& entry : category_table) {
        ZRB_InstalledSWCInfo_Panel panel;
        panel.mpu_Background_Panel_Caption = Str_UpperAscii(entry.name_text);
        panel.name_text = entry.name_text;
        panel.skin_name = entry.skin_name;
        // "All" is shown and selected from the start; the others wait for a publisher.
        panel.visible = panel.mpu_Background_Panel_Caption == all_key;
        panel.button_enabled = !panel.visible;
        mpr_dic_InstalledSWCInfo_Panels.emplace(panel.mpu_Background_Panel_Caption, categories_.size());
        categories_.push_back(std::move(panel));
    }
    view.categories_changed();
}

std::uint8_t TForm_Main::publisher_categories(const std::u16string& publisher) const {
    std::uint8_t bits = 0;
    for (std::size_t index = 0; index < categories_.size(); ++index)
        if (Str_ContainsText(publisher, categories_[index].mpu_Background_Panel_Caption)) bits |= 1u << index;
    return bits;
}

// A category shows from the first listed program whose publisher contains its
// key anywhere, and stays for the run.
void TForm_Main::mpr_pro_ShowClassifiedForPublisher(std::uint8_t publisher_categories) {
    bool changed = false;
    for (std::size_t index = 0; index < categories_.size(); ++index) {
        auto& panel = categories_[index];
        if (panel.visible || !(publisher_categories & (1u << index))) continue;
        panel.visible = true;
        changed = true;
    }
    if (changed) view.categories_changed();
}

void TForm_Main::mpr_pro_SelectClassified(const std::u16string& text) {
    const std::u16string key = Str_UpperAscii(text);
    for (auto& panel : categories_) panel.button_enabled = text.empty() || panel.mpu_Background_Panel_Caption != key;
    view.categories_changed();
}

void TForm_Main::mpu_pro_cb_BnClick_Classified(const std::u16string& str_param_ClassifiedName) {
    for (auto& panel : categories_)
        panel.button_enabled = panel.mpu_Background_Panel_Caption != str_param_ClassifiedName;
    view.categories_changed();
    mpr_pro_Show_InstalledSWInfo_Panel(str_param_ClassifiedName);
}

void TForm_Main::mpr_pro_Show_InstalledSWInfo_Panel(const std::u16string& str_param_SWPublisher) {
    // The filter runs while the loading window is up and closes it.
    later(0, [this, key = str_param_SWPublisher] {
        const bool all = Str_UpperAscii(key) == all_key;
        const auto category = mpr_dic_InstalledSWCInfo_Panels.find(key);
        visible_rows_.clear();
        for (std::size_t index = 0; index < row_count; ++index) {
            const RowFilter& filter = row_filters[index];
            // Keys come from the category buttons; any other text is matched as it stands.
            const bool match = all || (category != mpr_dic_InstalledSWCInfo_Panels.end()
                                           ? (filter.categories & (1u << category->second)) != 0
                                           : Str_ContainsText(rows_[index].mpu_Publisher_Label(), key));
            if (match && !filter.uninstalled) visible_rows_.push_back(index);
        }
        mpr_pro_EndListUpdate();
        mpr_pro_CloseLoading();
    });
    mpr_pro_ShowLoading();
}

}  // namespace vorlix
