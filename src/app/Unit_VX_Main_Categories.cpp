// The category column of the first card: which categories show, which one
// is selected, and the publisher filter behind a category button.
#include <array>

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
        panel.skin_name = entry.skin_name;
        // "All" is shown and selected from the start; the others wait for a publisher.
        panel.visible = panel.mpu_Background_Panel_Caption == all_key;
        panel.button_enabled = !panel.visible;
        mpr_dic_InstalledSWCInfo_Panels.emplace(panel.mpu_Background_Panel_Caption, categories_.size());
        categories_.push_back(std::move(panel));
    }
    view.categories_changed();
}

void TForm_Main::mpr_pro_ShowClassifiedForPublisher(const std::u16string& publisher) {
    bool changed = false;
    for (auto& panel : categories_) {
        if (panel.visible || !Str_ContainsText(publisher, panel.mpu_Background_Panel_Caption)) continue;
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
        visible_rows_.clear();
        for (std::size_t index = 0; index < rows_.size(); ++index) {
            ZRB_InstalledSWInfo_Panel& row = rows_[index];
            const bool match = all || Str_ContainsText(row.mpu_Publisher_Label, key);
            row.visible = match && !mpr_fun_IsUninstalled(row.mpu_Name_Label);
            if (row.visible) visible_rows_.push_back(index);
            view.process_pending_messages();
        }
        mpr_pro_EndListUpdate();
        mpr_pro_CloseLoading();
    });
    mpr_pro_ShowLoading();
}

}  // namespace vorlix
