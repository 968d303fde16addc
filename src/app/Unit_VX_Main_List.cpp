// The program list of the first card: rows, icons, search and refresh.
#include <optional>
#include <utility>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "app/Unit_VX_Main.h"

namespace vorlix {

namespace {

constexpr std::uint16_t vk_return = 13;

}  // namespace

bool TForm_Main::mpr_fun_IsUninstalled(const std::u16string& name) const { return uninstalled_names.contains(name); }

void TForm_Main::mpu_prosyncb_InstallerSoftwarelist_Ex() {
    if (mpr_fun_IsUninstalled(mpr_str_SoftwareName)) return;
    // The scan has listed every program before it reports the first.
    if (row_count == 0 && installed_) reserve_rows(installed_->mpu_list_InstalledSoftwareName);
    if (row_count == rows_.size()) rows_.emplace_back();
    ZRB_InstalledSWInfo_Panel& row = rows_[row_count];
    row.texts = TextGroup<5>(row_texts, {mpr_str_SoftwareName, mpr_str_SoftwarePublisher, mpr_str_SoftwareVersion,
                                         mpr_str_SoftwareEstimatedSize, mpr_str_SoftwareInstallLocation});
    // The scan reports each name once; a repeated report keeps the first row
    // (its texts stay unused in the blocks until the next refresh).
    if (!mpr_dic_InstalledSWInfo_Panels.insert(row_count)) return;
    const std::size_t index = row_count++;
    row.mpu_Logo_Image = {};
    const std::uint8_t categories = publisher_categories(mpr_str_SoftwarePublisher);
    visible_rows_.push_back(index);
    row_filters.push_back({categories, false});
    row_names.append(mpr_str_SoftwareName);

    // Read last: a read that ends at once fills the finished row.
    const PixelSize logo = view.logo_size();
    if (const ProgramIcon* icon =
            mpu_prosyncb_InstallerSoftwarelist_GetIcon(mpr_str_SoftwareName, mpr_str_SoftwareIcon, logo.height, logo.width))
        row.mpu_Logo_Image = *icon;

    // The newest row stays in view while the scan runs.
    view.list_rows_changed();
    view.scroll_list(ListPosition::last_row);
    mpr_pro_ShowClassifiedForPublisher(categories);
}

const ProgramIcon* TForm_Main::mpu_prosyncb_InstallerSoftwarelist_GetIcon(const std::u16string& str_param_SoftwareName,
                                                                          const std::u16string& str_param_SoftwareIcon,
                                                                          int int_param_Default_H,
                                                                          int int_param_Default_W) {
    if (const auto cached = icon_names.find(str_param_SoftwareName)) return &mpr_Dic_SoftwareList_Icon[*cached].icon;
    if (icons_in_reading.contains(str_param_SoftwareName)) return nullptr;
    IconSource source = choose_icon_source(str_param_SoftwareIcon, mpr_int_SoftwareIcon_ID);
    // A cached installer file that is gone has no icon; nothing else is asked.
    const bool missing_installer_file = source.rule == 'a' && !Sys_FileExists(source.path);
    if (source.read == IconRead::none || missing_installer_file)
        return &cache_icon(str_param_SoftwareName, source, {});
    icons_in_reading.insert(str_param_SoftwareName);
    icon_requests.push_back(
        {str_param_SoftwareName, std::move(source), {int_param_Default_W, int_param_Default_H}, std::nullopt});
    if (!icon_batch_reading) read_requested_icons();
    return nullptr;
}

void TForm_Main::logo_size_changed() {
    const PixelSize logo = view.logo_size();
    auto cached = std::exchange(mpr_Dic_SoftwareList_Icon, {});
    // The old texts stay readable until every entry is kept again or requested.
    const TextBlocks cached_texts = std::exchange(icon_texts, {});
    icon_names.clear();
    for (const auto& entry : cached) {
        // An empty icon has no size to change.
        if (entry.icon.empty())
            cache_icon(entry.name(), entry.source(), {});
        else if (std::u16string name(entry.name()); icons_in_reading.insert(name).second)
            icon_requests.push_back({std::move(name), entry.source(), logo, std::nullopt});
    }
    if (!icon_requests.empty() && !icon_batch_reading) read_requested_icons();
}

// One worker reads the waiting icons; what was requested meanwhile is the
// next batch.
void TForm_Main::read_requested_icons() {
    icon_batch_reading = true;
    auto batch = std::make_shared<std::vector<IconRequest>>(std::exchange(icon_requests, {}));
    on_worker(
        [batch, &view = view] {
            for (auto& request : *batch) {
                const PixelSize logo = request.logo;
                request.icon = view.read_icon(request.source, logo);
                if (request.icon && icon_needs_scaling(*request.icon, logo.width, logo.height))
                    request.icon = view.resize_icon(*request.icon, logo.width, logo.height);
            }
        },
        [this, batch] {
            for (auto& request : *batch) {
                icons_in_reading.erase(request.name);
                // A failed read is not cached: the next listing of the program tries again.
                if (!request.icon) continue;
                const ProgramIcon& icon = cache_icon(request.name, request.source, std::move(*request.icon));
                const auto row = mpr_dic_InstalledSWInfo_Panels.find(request.name);
                if (row && *row < row_count) rows_[*row].mpu_Logo_Image = icon;
            }
            view.list_rows_changed();
            icon_batch_reading = false;
            if (!icon_requests.empty()) read_requested_icons();
        });
}

const ProgramIcon& TForm_Main::cache_icon(std::u16string_view name, const IconSource& source, ProgramIcon icon) {
    mpr_Dic_SoftwareList_Icon.push_back(
        {TextGroup<2>(icon_texts, {name, source.path}), source.rule, source.read, source.index, std::move(icon)});
    icon_names.insert(mpr_Dic_SoftwareList_Icon.size() - 1);
    return mpr_Dic_SoftwareList_Icon.back().icon;
}

void TForm_Main::mpr_pro_EndListUpdate() {
    view.list_rows_changed();
    view.scroll_list(ListPosition::top);
}

void TForm_Main::reserve_rows(const StringList& listed) {
    const std::size_t count = listed.size();
    rows_.reserve(count);
    row_filters.reserve(count);
    visible_rows_.reserve(count);
    // The listed names are the display names in lower case, as long as they.
    std::size_t units = 0;
    for (const auto& name : listed) units += name.size();
    row_names.reserve(count, units);
    mpr_dic_InstalledSWInfo_Panels.reserve(count);
    mpr_Dic_SoftwareList_Icon.reserve(count);
    icon_names.reserve(count);
}

void TForm_Main::hide_row(const std::u16string& name) {
    const auto found = mpr_dic_InstalledSWInfo_Panels.find(name);
    if (!found) return;
    row_filters[*found].uninstalled = true;
    std::erase(visible_rows_, *found);
    view.list_rows_changed();
}

void TForm_Main::remove_all_rows() {
    mpr_dic_InstalledSWInfo_Panels.clear();
    row_count = 0;
    row_texts.clear();
    visible_rows_.clear();
    row_filters.clear();
    row_names.clear();
    search_rows.clear();
    mpr_pro_EndListUpdate();
}

void TForm_Main::ed_Step1_SearchEnter() {
    if (view.search_text() == search_placeholder) view.set_search_text(u"", search_text_colour);
}

void TForm_Main::ed_Step1_SearchKeyDown(std::uint16_t key) {
    if (key == vk_return) Bn_SearchClick();
}

void TForm_Main::Bn_SearchClick() {
    if (row_count == 0) return;
    const std::u16string text = Str_Trim(view.search_text());
    if (text.empty() || text == search_placeholder) {
        view.message_box(u"Please enter the program keywords, such as Adobe Photoshop, Office 2010...",
                         MessageKind::information);
        return;
    }
    mpr_list_Search_InstalledSWName.clear();
    search_rows.clear();
    for (const auto index : row_names.containing(text)) {
        if (row_filters[index].uninstalled) continue;
        search_rows.push_back(index);
        mpr_list_Search_InstalledSWName.emplace_back(rows_[index].mpu_Name_Label());
    }
    if (mpr_list_Search_InstalledSWName.empty()) {
        view.message_box(u"Sorry, no software found.", MessageKind::information);
        return;
    }
    // The pause lets the loading window come up before the rows change.
    later(500, [this] {
        view.set_search_enabled(false);
        mpr_pro_SelectClassified(u"");
        mpr_pro_ShowSearchResult();
        mpr_pro_CloseLoading();
        view.set_search_enabled(true);
    });
    mpr_pro_ShowLoading();
}

// The rows of the last search with a match, in list order. Rows are records,
// so the change is one assignment and needs no message pumping in between.
void TForm_Main::mpr_pro_ShowSearchResult() {
    visible_rows_ = search_rows;
    mpr_pro_EndListUpdate();
}

void TForm_Main::Bn_RefreshClick() {
    // The pause lets the loading window come up first; it stays up through
    // the removal and the whole new scan, whose end closes it.
    later(1000, [this] {
        remove_all_rows();
        mpr_pro_SelectClassified(u"All");
        if (!installed_) return;
        installed_->mpu_Clean();
        mpr_pro_StartGetSoftwareList();
    });
    view.process_pending_messages();
    mpr_pro_ShowLoading();
}

void TForm_Main::SB_SWList_MainMouseWheel() { view.set_list_scroll_step(list_scroll_step); }

std::optional<std::size_t> TForm_Main::find_visible_row(const std::u16string& prefix, std::size_t start) const {
    const std::size_t count = visible_rows_.size();
    if (prefix.empty() || count == 0) return std::nullopt;
    const std::u16string wanted = Str_UpperFull(prefix);
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t index = (start + step) % count;
        const std::u16string_view name = rows_[visible_rows_[index]].mpu_Name_Label();
        if (name.size() >= wanted.size() && Str_UpperFull(std::u16string(name.substr(0, wanted.size()))) == wanted)
            return index;
    }
    return std::nullopt;
}

}  // namespace vorlix
