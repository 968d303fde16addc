// The main window's logic: the wizard over five cards and the program list of
// its first card (rows, search, categories, refresh, the loading window),
// with no widget code. Every method runs on the user-interface thread; the
// worker threads reach it only through the UiDispatcher's blocking hand-off.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "access/string_types.h"
#include "app/Unit_ZRB_Controls.h"
#include "app/background_tasks.h"
#include "app/leftover_session.h"
#include "app/main_view.h"
#include "app/uninstall_verdict.h"
#include "app/name_index.h"
#include "app/name_table.h"
#include "inventory/pacing.h"
#include "inventory/ui_dispatcher.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/process_tree_watch.h"

namespace vorlix {

class ZRB_Software_Lib;

// Design sizes (96 DPI) of a program row and of the list's scroll step.
inline constexpr int row_design_height = 80;
inline constexpr int list_scroll_step = 2 * row_design_height;

inline constexpr const char16_t* search_placeholder = u"Search...";
inline constexpr std::uint32_t placeholder_colour = 0x808080;
inline constexpr std::uint32_t search_text_colour = 0x000000;

class TForm_Main {
public:
    TForm_Main(View& view, BackgroundTasks& tasks, std::shared_ptr<UiDispatcher> dispatcher,
               std::shared_ptr<Pacing> pacing);
    ~TForm_Main();
    TForm_Main(const TForm_Main&) = delete;
    TForm_Main& operator=(const TForm_Main&) = delete;

    // Window life.
    void FormCreate();
    void FormShow();
    // Releases the window's data. Workers still running keep their own share
    // of the list and knowledge base, and their later reports are dropped.
    void FormClose();
    bool FormCanResize() const;
    // One scroll step per wheel notch (WHEEL_DELTA, 120), downwards for a
    // negative delta; a touchpad's small deltas add up to a notch, and a turn
    // the other way starts afresh.
    void FormMouseWheel(int delta);
    // The handler of show_loading_message.
    void on_show_loading_message();

    // Scan reports.
    void mpu_pro_cb_InstallerSoftwarelist_Start();
    void mpu_pro_cb_InstallerSoftwarelist(const std::u16string& str_param_SoftwareName,
                                          const std::u16string& str_param_SoftwarePublisher,
                                          std::int32_t int_param_SoftwareIcon_ID,
                                          const std::u16string& str_param_SoftwareIcon,
                                          const std::u16string& str_param_SoftwareInstallLocation,
                                          const std::u16string& str_param_SoftwareEstimatedSize,
                                          const std::u16string& str_param_SoftwareVersion);
    void mpu_pro_cb_InstallerSoftwarelist_End();

    // Input of the program list.
    void mpu_pro_cb_BnClick_Uninstall(const std::u16string& str_param_SoftwareName);
    void mpu_pro_cb_BnClick_Classified(const std::u16string& str_param_ClassifiedName);
    void Bn_SearchClick();
    void Bn_RefreshClick();
    void ed_Step1_SearchEnter();
    void ed_Step1_SearchKeyDown(std::uint16_t key);
    void SB_SWList_MainMouseWheel();
    // The window's scale changed: the listed programs' icons are read again
    // at the new logo size (the rows keep the old pictures until then).
    void logo_size_changed();

    void mpr_pro_ShowLoading();
    void mpr_pro_CloseLoading();

    // Analysis reports.
    void mpu_pro_cb_UninstallSoftware_Start();
    void mpu_pro_cb_InstalledSoftwareFileCount(const std::u16string& path, std::uint32_t count);
    void mpu_pro_cb_InstalledSoftwareRegCount(const std::u16string& path, std::uint32_t count);
    void mpu_pro_cb_InstalledSoftwareFilePath(const std::u16string& path);
    void mpu_pro_cb_InstalledSoftwareRegPath(const std::u16string& path);
    void mpu_pro_cb_UninstallSoftware_End();

    // Supervision reports.
    void mpu_pro_cb_SHTU_UninstallSoftware_Start();
    void mpu_pro_cb_UninstallStepTip_Start(std::int32_t step);
    void mpu_pro_cb_UninstallStepTip_End(std::int32_t step);
    void mpu_pro_cb_SHTU_UninstallSoftware_End();

    // Input of steps 2, waiting and 3.
    void Bn_Step2_FileslistClick();
    void Bn_Step2_RegistrylistClick();
    void Bn_StartUninstallClick();
    void Bn_Step2_BackToSoftwareListClick();
    void Bn_ScanLeftoversClick();
    void Bn_Step3_FileslistClick();
    void Bn_Step3_RegistrylistClick();
    void Bn_DeleteLeftoversClick();
    void Bn_Step3_BackToSoftwareListClick();
    // A check box of a leftover list changed.
    void set_leftover_ticked(LeftoverList list, std::size_t row, bool ticked);

    // The update label.
    void lb_Main_CanUpdateInfoClick();

    // Starts the update check on a worker: shows the update label when the
    // document at the address names a newer version than `str_param_Version`.
    void mpr_pro_CheckIsNeedUpdate(const std::u16string& str_param_Version, const std::u16string& folder,
                                   const std::u16string& str_param_UpdateInfo_Url);

    // What the view paints.
    Card active_card() const { return active_card_; }
    // Every row in report order; the visible ones by index, in that order.
    std::span<const ZRB_InstalledSWInfo_Panel> rows() const { return {rows_.data(), row_count}; }
    const std::vector<std::size_t>& visible_rows() const { return visible_rows_; }
    // Type-ahead: the first visible row from `start` on, wrapping round, whose
    // name starts with `prefix` ignoring case.
    std::optional<std::size_t> find_visible_row(const std::u16string& prefix, std::size_t start) const;
    // The categories in their fixed order.
    const std::vector<ZRB_InstalledSWCInfo_Panel>& categories() const { return categories_; }
    // "%d.%d.%d.%d" of the executable's file version (given to the update check).
    const std::u16string& version_numbers() const { return version_numbers_; }
    // The rows of a leftover list and their check boxes.
    const StringList& leftover_rows(LeftoverList list) const;
    bool leftover_ticked(LeftoverList list, std::size_t row) const;
    // What the uninstaller's run says, once the supervision is over.
    std::optional<UninstallVerdict> uninstall_verdict() const { return verdict_; }

    // Wizard state, read by the view and the later screens.
    InstalledSoftwarePtr SelectedSoftware;
    std::u16string mpr_str_CurrentAppPath;
    bool mpr_bool_DisableResize = false;
    std::int32_t mpr_int_UninstallMode = -1;
    std::int32_t mpr_int_UninstallType = 0;
    std::u16string mpr_str_SelUnstallSoftware_PU;
    std::u16string mpr_str_SelUnstallSoftware;
    StringList mpr_list_Search_InstalledSWName;
    // Names whose uninstaller was started straight from the list; never cleared.
    StringList mpr_list_Uninstalled_InstalledSWName;
    // The program most recently reported by the scan.
    std::u16string mpr_str_SoftwareName;
    std::u16string mpr_str_SoftwarePublisher;
    std::u16string mpr_str_SoftwareVersion;
    std::u16string mpr_str_SoftwareEstimatedSize;
    std::u16string mpr_str_SoftwareInstallLocation;
    std::u16string mpr_str_SoftwareIcon;
    std::int32_t mpr_int_SoftwareIcon_ID = 0;

    std::shared_ptr<ZRB_InstalledSoftwareList> installed_software() const { return installed_; }

private:
    View& view;
    BackgroundTasks& tasks;
    std::shared_ptr<UiDispatcher> dispatcher;
    std::shared_ptr<Pacing> pacing;
    // Reports of workers started by this window check it on the
    // user-interface thread; it expires when the window closes.
    std::shared_ptr<int> alive = std::make_shared<int>(0);

    std::shared_ptr<ZRB_InstalledSoftwareList> installed_;
    std::shared_ptr<ZRB_Software_Lib> knowledge_;

    Card active_card_ = Card::Card_Step1;
    // Wheel delta not yet worth a whole notch.
    int wheel_rest_ = 0;
    std::u16string version_numbers_;
    // A show request was posted and neither served nor overtaken by a close.
    bool loading_request_pending = false;

    // The leftovers of the current cycle; made when an analysis starts.
    // Shared with the worker that re-checks or deletes them.
    std::shared_ptr<LeftoverSession> session;
    // The rows and check boxes of the four leftover lists.
    struct LeftoverRows {
        StringList rows;
        std::vector<bool> ticked;
    };
    std::array<LeftoverRows, 4> leftover_lists;
    // What the launch of the current uninstaller gave, for its verdict.
    std::shared_ptr<StartedUninstaller> started_uninstaller;
    // Nothing until a supervision has ended.
    std::optional<UninstallVerdict> verdict_;
    UninstallerRun uninstaller_run;
    // The two step indicators of Card_Waiting.
    std::array<WaitingStep, 2> waiting_steps{};

    // A worker's callback that calls the method on the user-interface thread,
    // unless the window has closed meanwhile.
    template <typename... Parameters>
    auto guarded(void (TForm_Main::*method)(Parameters...)) {
        return [this, method, open = std::weak_ptr<int>(alive)](auto... arguments) -> std::uint32_t {
            if (!open.expired()) (this->*method)(arguments...);
            return 0;
        };
    }

    // The first row_count records are the rows. A refresh keeps the records
    // of the old rows and the blocks of their texts to fill them again, so a
    // new scan of the same machine allocates nothing per row.
    std::vector<ZRB_InstalledSWInfo_Panel> rows_;
    std::size_t row_count = 0;
    TextBlocks row_texts;
    std::vector<std::size_t> visible_rows_;
    // Per row, in rows_ order, what the filters ask: kept apart from the row
    // records so that filtering reads a few bytes per row.
    struct RowFilter {
        // Bit i: the publisher falls in categories_[i].
        std::uint8_t categories = 0;
        bool uninstalled = false;
    };
    std::vector<RowFilter> row_filters;
    NameIndex row_names;
    // The rows of mpr_list_Search_InstalledSWName.
    std::vector<std::size_t> search_rows;
    // Display name (exact) -> index in rows_.
    NameTable mpr_dic_InstalledSWInfo_Panels{
        [this](std::size_t row) -> std::u16string_view { return rows_[row].mpu_Name_Label(); }};
    std::vector<ZRB_InstalledSWCInfo_Panel> categories_;
    // Category key -> index in categories_.
    std::unordered_map<std::u16string, std::size_t> mpr_dic_InstalledSWCInfo_Panels;
    // Icons are read on a worker (an offline share stalls a read for
    // seconds): the names waiting for one, and those of the batch being read.
    struct IconRequest {
        std::u16string name;
        IconSource source;
        PixelSize logo;
        std::optional<ProgramIcon> icon;
    };
    // An entry of the icon cache; every listed program gets one. It keeps
    // its IconSource in parts, with the path beside the name in icon_texts.
    struct IconEntry {
        // Display name, icon path.
        TextGroup<2> texts;
        char rule;
        IconRead read;
        std::int32_t index;
        ProgramIcon icon;

        std::u16string_view name() const { return texts[0]; }
        IconSource source() const { return {rule, read, std::u16string(texts[1]), index}; }
    };
    // The icon cache, found through icon_names.
    std::vector<IconEntry> mpr_Dic_SoftwareList_Icon;
    TextBlocks icon_texts;
    NameTable icon_names{[this](std::size_t entry) -> std::u16string_view {
        return mpr_Dic_SoftwareList_Icon[entry].name();
    }};
    std::vector<IconRequest> icon_requests;
    std::unordered_set<std::u16string> icons_in_reading;
    bool icon_batch_reading = false;
    std::unordered_set<std::u16string> uninstalled_names;

    void show_card(Card card);
    // tasks.after, dropped when the window has closed meanwhile.
    void later(std::uint32_t milliseconds, std::function<void()> task);
    void mpr_pro_StartGetSoftwareList();
    void mpu_prosyncb_InstallerSoftwarelist_Ex();
    // The cached icon of the name; null while it is read (the row gets it
    // when it arrives) and when reading failed.
    const ProgramIcon* mpu_prosyncb_InstallerSoftwarelist_GetIcon(const std::u16string& str_param_SoftwareName,
                                                                  const std::u16string& str_param_SoftwareIcon,
                                                                  int int_param_Default_H, int int_param_Default_W);
    void read_requested_icons();
    const ProgramIcon& cache_icon(std::u16string_view name, const IconSource& source, ProgramIcon icon);
    bool mpr_fun_IsUninstalled(const std::u16string& name) const;
    void mpr_pro_CreateClassifiedPanels();
    // Bit i: the publisher contains the key of categories_[i], ignoring case.
    std::uint8_t publisher_categories(const std::u16string& publisher) const;
    // Reveals the hidden categories among a publisher's.
    void mpr_pro_ShowClassifiedForPublisher(std::uint8_t publisher_categories);
    void mpr_pro_SelectClassified(const std::u16string& text);
    void mpr_pro_Show_InstalledSWInfo_Panel(const std::u16string& str_param_SWPublisher);
    void mpr_pro_ShowSearchResult();
    void mpr_pro_EndListUpdate();
    // Room for the rows of the listed programs, so that a scan's rows are not
    // copied as the stores grow.
    void reserve_rows(const StringList& listed);
    void hide_row(const std::u16string& name);
    void remove_all_rows();

    // Wizard steps of the Uninstall button.
    void Bn_RunAnalysisClick();
    void mpr_pro_StartAnalysis();
    void mpr_pro_ShowAnalyzingAnimation();
    void mpr_pro_CallUninstall();
    void start_supervision();
    void show_uninstall_tip();
    void mpr_pro_LoadLeftoverResults();
    // Step 3's lists and text from the re-checked results.
    void fill_step3();
    // On a worker, `work` then `done` back on the user-interface thread
    // (unless the window has closed meanwhile).
    void on_worker(std::function<void()> work, std::function<void()> done);
    void mpr_pro_BackToSoftwareList();
    void set_waiting_steps(WaitingStep first, WaitingStep second);
    void clear_leftover_lists();
    // Adds a row without telling the view, so that a whole list is told once.
    void add_leftover_row(LeftoverList list, const std::u16string& text, bool ticked = true);
    // Whether either list of a step holds a row.
    bool has_leftover_rows(LeftoverList files, LeftoverList registry) const;
    // The selection of the step-3 lists' check boxes.
    LeftoverSelection step3_selection() const;
    // Whether the step-3 check boxes leave anything to delete.
    bool leftovers_selected() const;
    // Asks the forced-removal question when the uninstaller did not remove
    // the program; true when the deletion may go on.
    bool forced_removal_confirmed();
};

// The executable's folder with exactly one trailing backslash.
std::u16string executable_folder(const std::u16string& module_path);
// "Version: 2023 %d.%d.%d.%d".
std::u16string version_label_text(const FileVersion& version);
// The deletion's report as the window shows it, with the registry backup's place.
std::u16string window_deletion_message(const DeletionReport& report, std::size_t unticked = 0);
// Asked before the leftovers of a program whose uninstaller did not remove it are deleted.
std::u16string forced_removal_question(const std::u16string& program, UninstallVerdict verdict,
                                       const UninstallerRun& run);

}  // namespace vorlix
