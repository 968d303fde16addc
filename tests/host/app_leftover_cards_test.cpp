// The analysis, waiting and leftover cards: one whole cycle on a simulated
// machine, the live counters, the filing of the findings, the check boxes,
// the questions, the verdict on the uninstaller and closing mid-way.
#include <algorithm>
#include <atomic>

#include "app/decimal_text.h"
#include "app/result_files.h"
#include "leftovers/Unit_ZRB_Thread_ShellExeUninstaller.h"
#include "app_test_support.h"
#include "app_window_support.h"

namespace vorlix::test {
namespace {

const std::u16string tool_key = app_uninstall_key + u"Tool";
// The row of the program's Run value, as the analysis words it.
const std::u16string tool_run_value = u"HKCU|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run|Tool";
constexpr std::uint32_t cancelled_by_user = 1602;

bool run_value_exists(const std::u16string& name) { return sim::value_exists(os::hkey_current_user, run_key, name); }

class LeftoverCards : public MainWindowTest {
protected:
    // What the uninstaller does when started: nothing when unset; otherwise
    // it removes the program's entry and main file (exit code 0), or ends
    // with the code without removing anything.
    std::optional<std::uint32_t> uninstaller_exit = 0;

    void SetUp() override {
        MainWindowTest::SetUp();
        install(u"Tool", u"Tool Maker", u"C:\\Apps\\Tool");
        install(u"ToolBox", u"Box Maker", u"C:\\Apps\\ToolBox");
        sim::add_file(u"C:\\Apps\\Tool\\tool.exe");
        sim::add_file(u"C:\\Apps\\Tool\\data\\a.txt");
        sim::add_file(u"C:\\Apps\\ToolBox\\box.exe");
        sim::set_string(os::hkey_current_user, run_key, u"Tool", u"\"C:\\Apps\\Tool\\tool.exe\" /tray");
        sim::set_string(os::hkey_current_user, run_key, u"ToolBox", u"C:\\Apps\\ToolBox\\box.exe");
        sim::set_shell_handler([this](const sim::ShellRequest&, std::uint32_t& pid) -> std::intptr_t {
            pid = sim::start_process(u"C:\\Uninstallers\\Tool.exe");
            if (uninstaller_exit == 0u) {
                os::reg_delete_key_ex(os::hkey_local_machine, tool_key, os::key_wow64_64key, 0);
                os::delete_file(u"C:\\Apps\\Tool\\tool.exe");
            }
            sim::end_process(pid, uninstaller_exit.value_or(0));
            return 42;
        });
    }

    void analyse_tool() {
        open_window();
        window->mpu_pro_cb_BnClick_Uninstall(u"Tool");
        ASSERT_EQ(window->active_card(), Card::Card_Step2);
    }
    // Start Uninstall, then the waiting tasks: the supervision runs to its end.
    void uninstall_tool() {
        analyse_tool();
        window->Bn_StartUninstallClick();
        tasks.run_pending();
        ASSERT_EQ(view.scan_leftovers_enabled_changes, (std::vector<bool>{false, true}));
        window->Bn_ScanLeftoversClick();
    }
    const StringList& rows(LeftoverList list) const { return window->leftover_rows(list); }
    std::size_t row_of(LeftoverList list, const std::u16string& text) const {
        const auto& all = rows(list);
        return static_cast<std::size_t>(std::find(all.begin(), all.end(), text) - all.begin());
    }
    std::u16string result_file(const char16_t* name) const { return window->mpr_str_CurrentAppPath + name; }
};

TEST_F(LeftoverCards, TheAnalysisFillsStep2AndDeletesTheResultFilesOfAnEarlierCycle) {
    open_window();
    sim::add_file(result_file(result_file_config), "old");
    sim::add_file(result_file(result_file_logo), "old");
    window->mpu_pro_cb_BnClick_Uninstall(u"Tool");

    EXPECT_FALSE(exists(result_file(result_file_config)));
    EXPECT_FALSE(exists(result_file(result_file_logo)));
    EXPECT_EQ(view.analyzing_animations, 1);
    EXPECT_EQ(view.analyzing_name, u"Tool");
    EXPECT_EQ(view.files_folders_counts.front(), u"0");
    EXPECT_EQ(view.registry_counts.front(), u"0");
    EXPECT_EQ(std::vector<Card>(view.cards.end() - 2, view.cards.end()),
              (std::vector<Card>{Card::Card_Analyzing, Card::Card_Step2}));
    EXPECT_EQ(view.redraw_changes, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.current_tab, LeftoverList::step2_files);

    const auto& files = rows(LeftoverList::step2_files);
    EXPECT_NE(std::find(files.begin(), files.end(), u"C:\\Apps\\Tool\\data\\a.txt"), files.end());
    for (const auto& path : files) EXPECT_EQ(path.find(u"ToolBox"), std::u16string::npos) << to_utf8(path);
    const auto& registry = rows(LeftoverList::step2_registry);
    EXPECT_NE(row_of(LeftoverList::step2_registry, tool_run_value), registry.size());
    EXPECT_EQ(view.step2_summary, u"Analysis completed. " + decimal_text(files.size()) + u" files/folders and " +
                                      decimal_text(registry.size()) + u" registry entries found.");
    for (std::size_t row = 0; row < files.size(); ++row)
        EXPECT_TRUE(window->leftover_ticked(LeftoverList::step2_files, row));

    window->Bn_Step2_RegistrylistClick();
    EXPECT_EQ(view.current_tab, LeftoverList::step2_registry);
    window->Bn_Step2_BackToSoftwareListClick();
    EXPECT_EQ(window->active_card(), Card::Card_Step1);
    EXPECT_EQ(window->SelectedSoftware, nullptr);
    EXPECT_TRUE(sim::shell_requests().empty());
}

TEST_F(LeftoverCards, TheFilesCounterRunsToNinetyNineThenInHundredsWhileTheSummaryCountsTheListedRows) {
    analyse_tool();
    view.files_folders_counts.clear();
    window->mpu_pro_cb_UninstallSoftware_Start();
    for (std::uint32_t count = 1; count <= 1234; ++count) {
        window->mpu_pro_cb_InstalledSoftwareFileCount(u"C:\\Gone\\f" + decimal_text(count), count);
        window->mpu_pro_cb_InstalledSoftwareFilePath(u"C:\\Gone\\f" + decimal_text(count));
    }
    // One more row than the counter ever said (the program's own folder).
    window->mpu_pro_cb_InstalledSoftwareFilePath(u"C:\\Gone");
    window->mpu_pro_cb_InstalledSoftwareRegCount(u"HKCU|Software\\Tool", 7);
    for (const auto* key : {u"HKCU|Software\\Tool", u"HKCU|Software\\Tool", u"HKLM|SOFTWARE\\Tool"})
        window->mpu_pro_cb_InstalledSoftwareRegPath(key);
    window->mpu_pro_cb_UninstallSoftware_End();
    ASSERT_EQ(view.files_folders_counts.size(), 99u + 12u);
    EXPECT_EQ(view.files_folders_counts[56], u"57");
    EXPECT_EQ(view.files_folders_counts[100], u"200");
    EXPECT_EQ(view.files_folders_counts.back(), u"1200");
    EXPECT_EQ(view.registry_counts.back(), u"7");
    EXPECT_EQ(view.step2_summary, u"Analysis completed. 1235 files/folders and 2 registry entries found.");

    // A new analysis starts from nothing: no count reported reads as 0.
    window->mpu_pro_cb_UninstallSoftware_Start();
    window->mpu_pro_cb_UninstallSoftware_End();
    EXPECT_EQ(view.step2_summary, u"Analysis completed. 0 files/folders and 0 registry entries found.");
    EXPECT_TRUE(rows(LeftoverList::step2_files).empty());

    // Past the list's limit only the counter knows them all.
    window->mpu_pro_cb_UninstallSoftware_Start();
    for (std::uint32_t count = 1; count <= 3010; ++count) {
        window->mpu_pro_cb_InstalledSoftwareFileCount(u"C:\\Gone\\f" + decimal_text(count), count);
        if (count <= 3000) window->mpu_pro_cb_InstalledSoftwareFilePath(u"C:\\Gone\\f" + decimal_text(count));
    }
    window->mpu_pro_cb_UninstallSoftware_End();
    EXPECT_EQ(view.step2_summary, u"Analysis completed. 3010 files/folders and 0 registry entries found.");
}

TEST_F(LeftoverCards, RegistryReportsAreListedOnceAndEmptyOnesNotAtAll) {
    analyse_tool();
    window->mpu_pro_cb_UninstallSoftware_Start();
    for (const auto* path : {u"HKCU|Software\\Tool", u"", u"HKCU|Software\\Tool", u"HKLM|SOFTWARE\\Tool"})
        window->mpu_pro_cb_InstalledSoftwareRegPath(path);
    EXPECT_EQ(rows(LeftoverList::step2_registry), (StringList{u"HKCU|Software\\Tool", u"HKLM|SOFTWARE\\Tool"}));
}

TEST_F(LeftoverCards, FindingsAreFiledAsFoldersOnlyWhenTheFolderExistsAtReportTime) {
    analyse_tool();
    window->Bn_StartUninstallClick();
    window->mpu_pro_cb_UninstallSoftware_Start();
    window->mpu_pro_cb_InstalledSoftwareFileCount(u"C:\\Apps\\Tool\\data", 1);
    window->mpu_pro_cb_InstalledSoftwareFileCount(u"C:\\Apps\\Tool\\data\\a.txt", 2);
    window->mpu_pro_cb_InstalledSoftwareFileCount(u"C:\\Apps\\Tool\\gone", 3);
    window->mpu_pro_cb_InstalledSoftwareRegPath(tool_run_value);
    window->mpu_pro_cb_UninstallStepTip_End(step_uninstaller_over);
    EXPECT_FALSE(exists(result_file(result_file_folders)));

    window->mpu_pro_cb_UninstallStepTip_End(step_uninstaller_runs);
    StringList lines;
    ASSERT_TRUE(load_result_file(result_file(result_file_folders), lines));
    EXPECT_EQ(lines, StringList{u"C:\\Apps\\Tool\\data"});
    ASSERT_TRUE(load_result_file(result_file(result_file_files), lines));
    EXPECT_EQ(lines, (StringList{u"C:\\Apps\\Tool\\data\\a.txt", u"C:\\Apps\\Tool\\gone"}));
    ASSERT_TRUE(load_result_file(result_file(result_file_registry), lines));
    EXPECT_EQ(lines, StringList{tool_run_value});
    ASSERT_TRUE(load_result_file(result_file(result_file_config), lines));
    EXPECT_EQ(lines, (StringList{u"Tool", u"Tool Maker"}));
}

TEST_F(LeftoverCards, StartUninstallWithNothingFoundReportsAProblemAndStaysOnStep2) {
    analyse_tool();
    window->mpu_pro_cb_UninstallSoftware_Start();
    window->mpu_pro_cb_UninstallSoftware_End();
    view.messages.clear();
    window->Bn_StartUninstallClick();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, u"Program encountered problem during the uninstallation.");
    EXPECT_EQ(view.messages[0].kind, MessageKind::error);
    EXPECT_EQ(window->active_card(), Card::Card_Step2);
    EXPECT_TRUE(sim::shell_requests().empty());
    EXPECT_EQ(tasks.waiting(), 0u);
}

TEST_F(LeftoverCards, TheWaitingCardFollowsTheSupervisionAndStep3ListsWhatIsLeft) {
    analyse_tool();
    window->Bn_StartUninstallClick();
    EXPECT_EQ(window->active_card(), Card::Card_Waiting);
    EXPECT_EQ(view.waiting[1], WaitingStep{});
    EXPECT_EQ(view.waiting[2], WaitingStep{});
    EXPECT_EQ(view.scan_leftovers_enabled_changes, std::vector<bool>{false});
    EXPECT_EQ(view.no_activate_changes, std::vector<bool>{true});
    EXPECT_EQ(sim::shell_requests().size(), 1u);
    EXPECT_EQ(std::vector<std::uint32_t>(tasks.delays.end() - 2, tasks.delays.end()),
              (std::vector<std::uint32_t>{1000, 500}));

    tasks.run_pending();
    EXPECT_EQ(view.tip_shows, 1);
    EXPECT_EQ(view.waiting[1], (WaitingStep{true, false}));
    EXPECT_EQ(view.waiting[2], (WaitingStep{true, false}));
    EXPECT_EQ(view.scan_leftovers_enabled_changes, (std::vector<bool>{false, true}));
    EXPECT_EQ(window->uninstall_verdict(), UninstallVerdict::removed);
    // The uninstaller took the program's main file: only what it left is listed.
    const auto& files = rows(LeftoverList::step3_files);
    EXPECT_EQ(row_of(LeftoverList::step3_files, u"C:\\Apps\\Tool\\tool.exe"), files.size());
    EXPECT_NE(row_of(LeftoverList::step3_files, u"C:\\Apps\\Tool\\data\\a.txt"), files.size());
    EXPECT_EQ(view.step3_text, u"Clear all the remaining files, floders and registry entries to free up disk space.");
    EXPECT_EQ(window->active_card(), Card::Card_Waiting);

    window->Bn_ScanLeftoversClick();
    EXPECT_EQ(window->active_card(), Card::Card_Step3);
    EXPECT_EQ(view.current_tab, LeftoverList::step3_files);
    EXPECT_EQ(view.no_activate_changes, (std::vector<bool>{true, false}));
}

TEST_F(LeftoverCards, TheSupervisionStepsSwitchTheIndicatorsAndOtherStepTypesAreIgnored) {
    analyse_tool();
    window->Bn_StartUninstallClick();
    window->mpu_pro_cb_SHTU_UninstallSoftware_Start();
    EXPECT_EQ(view.waiting[1], (WaitingStep{true, true}));
    EXPECT_EQ(view.waiting[2], (WaitingStep{false, false}));
    window->mpu_pro_cb_UninstallStepTip_Start(step_uninstaller_runs);
    EXPECT_EQ(view.waiting[1], (WaitingStep{true, true}));
    window->mpu_pro_cb_UninstallStepTip_Start(7);
    EXPECT_EQ(view.waiting[2], (WaitingStep{false, false}));
    window->mpu_pro_cb_UninstallStepTip_Start(step_uninstaller_over);
    EXPECT_EQ(view.waiting[1], (WaitingStep{true, false}));
    EXPECT_EQ(view.waiting[2], (WaitingStep{true, true}));
}

TEST_F(LeftoverCards, TheTipIsShownOncePerStartUninstallAndNotOverItself) {
    analyse_tool();
    window->Bn_StartUninstallClick();
    view.tip_visible = true;
    tasks.run_pending();
    EXPECT_EQ(view.tip_shows, 0);
}

TEST_F(LeftoverCards, UntickedRowsStayWhileTheRestIsDeletedAndTheReportTellsWhereTheBackupIs) {
    uninstall_tool();
    const auto tool_value = row_of(LeftoverList::step3_registry, tool_run_value);
    ASSERT_LT(tool_value, rows(LeftoverList::step3_registry).size());
    window->set_leftover_ticked(LeftoverList::step3_registry, tool_value, false);
    // Unticked inside a ticked folder: the file stays, the folder is emptied around it.
    const auto data_file = row_of(LeftoverList::step3_files, u"C:\\Apps\\Tool\\data\\a.txt");
    ASSERT_LT(data_file, rows(LeftoverList::step3_files).size());
    window->set_leftover_ticked(LeftoverList::step3_files, data_file, false);
    sim::add_file(u"C:\\Apps\\Tool\\data\\new.txt");
    view.messages.clear();

    window->Bn_DeleteLeftoversClick();

    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[0].text,
              u"Are you sure you want to delete the ticked leftovers?\r\n2 unticked entries will be kept.");
    EXPECT_EQ(view.messages[1].kind, MessageKind::information);
    EXPECT_EQ(view.messages[1].text.find(u"All leftovers have been completely removed."), std::u16string::npos)
        << to_utf8(view.messages[1].text);
    EXPECT_NE(view.messages[1].text.find(u"2 unticked entries were kept."), std::u16string::npos)
        << to_utf8(view.messages[1].text);
    EXPECT_TRUE(run_value_exists(u"Tool"));
    EXPECT_TRUE(run_value_exists(u"ToolBox"));
    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\data\\a.txt"));
    EXPECT_TRUE(exists(u"C:\\Apps\\ToolBox\\box.exe"));
    EXPECT_EQ(window->active_card(), Card::Card_Step1);
    for (const auto list : {LeftoverList::step2_files, LeftoverList::step2_registry, LeftoverList::step3_files,
                            LeftoverList::step3_registry})
        EXPECT_TRUE(rows(list).empty());
    EXPECT_FALSE(exists(result_file(result_file_registry)));
}

// A dispatcher the test switches from running reports at once to serving them itself.
class SwitchedDispatcher final : public UiDispatcher {
public:
    std::shared_ptr<UiDispatcher> to = std::make_shared<ImmediateDispatcher>();
    void run(const std::function<void()>& task) override { to->run(task); }
};

// Step 3 reached; from then on workers run free and their reports wait until served.
class LeftoverWorkers : public LeftoverCards {
protected:
    std::shared_ptr<SwitchedDispatcher> switched = std::make_shared<SwitchedDispatcher>();
    std::shared_ptr<ServedDispatcher> served = std::make_shared<ServedDispatcher>();

    void SetUp() override {
        LeftoverCards::SetUp();
        dispatcher = switched;
        uninstall_tool();
        switched->to = served;
        tasks.join_at_once = false;
    }
    void TearDown() override {
        tasks.join_workers();
        LeftoverCards::TearDown();
    }
};

TEST_F(LeftoverWorkers, TheDeletionRunsOnAWorkerUnderTheLoadingWindow) {
    view.messages.clear();
    std::size_t messages_under_loading = 0;
    // The loading window's loop serves the worker's report; then the window
    // goes on as before (the refresh's scan reports at once).
    view.serve_reports = [&] {
        messages_under_loading = view.messages.size();
        while (view.loading && served->try_serve_one(std::chrono::seconds(20))) {
        }
        switched->to = std::make_shared<ImmediateDispatcher>();
        tasks.join_at_once = true;
    };

    window->Bn_DeleteLeftoversClick();

    // Only the question was asked when the loading window came up.
    EXPECT_EQ(messages_under_loading, 1u);
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool\\data\\a.txt"));
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_NE(view.messages[1].text.find(u"removed"), std::u16string::npos) << to_utf8(view.messages[1].text);
    EXPECT_EQ(window->active_card(), Card::Card_Step1);
}

TEST_F(LeftoverWorkers, TheEndOfTheSupervisionReChecksTheResultsOnAWorkerBeforeScanLeftoversIsEnabled) {
    view.scan_leftovers_enabled_changes.clear();
    window->mpu_pro_cb_SHTU_UninstallSoftware_End();
    // The user-interface thread is free while the worker re-checks.
    EXPECT_TRUE(view.scan_leftovers_enabled_changes.empty());
    ASSERT_TRUE(served->try_serve_one(std::chrono::seconds(20)));
    EXPECT_EQ(view.scan_leftovers_enabled_changes, std::vector<bool>{true});
    EXPECT_LT(row_of(LeftoverList::step3_files, u"C:\\Apps\\Tool\\data\\a.txt"),
              rows(LeftoverList::step3_files).size());
}

TEST_F(LeftoverCards, ARowUntickedOnStep2StaysUntickedOnStep3) {
    analyse_tool();
    const auto value = row_of(LeftoverList::step2_registry, tool_run_value);
    ASSERT_LT(value, rows(LeftoverList::step2_registry).size());
    window->set_leftover_ticked(LeftoverList::step2_registry, value, false);
    window->Bn_StartUninstallClick();
    tasks.run_pending();
    const auto row = row_of(LeftoverList::step3_registry, tool_run_value);
    ASSERT_LT(row, rows(LeftoverList::step3_registry).size());
    EXPECT_FALSE(window->leftover_ticked(LeftoverList::step3_registry, row));
}

TEST_F(LeftoverCards, QuestionsAnsweredNoChangeNothing) {
    uninstall_tool();
    const auto files = rows(LeftoverList::step3_files);
    view.answer_yes = false;
    view.messages.clear();

    window->Bn_DeleteLeftoversClick();
    window->Bn_Step3_BackToSoftwareListClick();

    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].text,
              u"The current uninstall process has not yet completed.\r\n"
              u"Are you sure you want to cancel the current uninstall process?");
    EXPECT_EQ(window->active_card(), Card::Card_Step3);
    EXPECT_EQ(rows(LeftoverList::step3_files), files);
    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\data\\a.txt"));
    EXPECT_TRUE(run_value_exists(u"Tool"));
    EXPECT_TRUE(exists(result_file(result_file_files)));
}

TEST_F(LeftoverCards, WithEveryRowUntickedNothingIsDeletedAndNothingIsCalledRemoved) {
    uninstall_tool();
    for (const auto list : {LeftoverList::step3_files, LeftoverList::step3_registry})
        for (std::size_t row = 0; row < rows(list).size(); ++row) window->set_leftover_ticked(list, row, false);
    view.messages.clear();
    window->Bn_DeleteLeftoversClick();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, u"No leftover is ticked, so nothing was deleted.");
    EXPECT_EQ(window->active_card(), Card::Card_Step3);
    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\data\\a.txt"));
    EXPECT_TRUE(run_value_exists(u"Tool"));
}

TEST_F(LeftoverCards, LeavingStep3WithEmptyListsAsksNothing) {
    uninstall_tool();
    view.messages.clear();
    // Step 3 of a cycle whose leftovers are all gone.
    window->mpu_pro_cb_UninstallSoftware_Start();
    window->mpu_pro_cb_SHTU_UninstallSoftware_End();
    ASSERT_TRUE(rows(LeftoverList::step3_files).empty());
    ASSERT_TRUE(rows(LeftoverList::step3_registry).empty());
    window->Bn_Step3_BackToSoftwareListClick();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(window->active_card(), Card::Card_Step1);
}

TEST_F(LeftoverCards, AProgramTheUninstallerLeftInstalledIsOnlyRemovedByForce) {
    uninstaller_exit = cancelled_by_user;
    uninstall_tool();
    EXPECT_EQ(window->uninstall_verdict(), UninstallVerdict::failed);
    EXPECT_NE(view.step3_text.find(u"exit code 1602"), std::u16string::npos) << to_utf8(view.step3_text);
    view.messages.clear();

    view.answer_yes = false;
    window->Bn_DeleteLeftoversClick();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find(u"force"), std::u16string::npos);
    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\tool.exe"));
    EXPECT_EQ(window->active_card(), Card::Card_Step3);

    view.answer_yes = true;
    window->Bn_DeleteLeftoversClick();
    EXPECT_EQ(view.messages.size(), 1u + 3u);
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool\\tool.exe"));
    EXPECT_TRUE(exists(u"C:\\Apps\\ToolBox\\box.exe"));
}

TEST_F(LeftoverCards, AnUninstallerThatLeavesTheEntryIsReportedAsStillInstalled) {
    uninstaller_exit.reset();
    uninstall_tool();
    EXPECT_EQ(window->uninstall_verdict(), UninstallVerdict::still_installed);
    EXPECT_NE(view.step3_text.find(u"still installed"), std::u16string::npos) << to_utf8(view.step3_text);
}

TEST_F(LeftoverCards, Step3ListsAtMost3000FileRowsAndTheRowsPastThemAreDeletedToo) {
    for (int file = 0; file < 3010; ++file) sim::add_file(u"C:\\Apps\\Tool\\many\\f" + decimal_text(file) + u".txt");
    analyse_tool();
    window->Bn_StartUninstallClick();
    // The analysis lists at most 3,000 rows: report the rest as it counts them.
    window->mpu_pro_cb_UninstallSoftware_Start();
    for (int file = 0; file < 3010; ++file)
        window->mpu_pro_cb_InstalledSoftwareFileCount(u"C:\\Apps\\Tool\\many\\f" + decimal_text(file) + u".txt",
                                                      static_cast<std::uint32_t>(file + 1));
    window->mpu_pro_cb_InstalledSoftwareRegPath(tool_run_value);
    tasks.run_pending();
    window->Bn_ScanLeftoversClick();
    ASSERT_EQ(rows(LeftoverList::step3_files).size(), 3000u);
    window->set_leftover_ticked(LeftoverList::step3_files, 0, false);
    window->set_leftover_ticked(LeftoverList::step3_files, 3005, false);  // no such row: ignored

    window->Bn_DeleteLeftoversClick();

    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\many\\f0.txt"));
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool\\many\\f1.txt"));
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool\\many\\f3009.txt"));
}

TEST(DeletionReportText, TheWindowAddsWhereTheRegistryBackupWasWritten) {
    DeletionReport report;
    EXPECT_EQ(window_deletion_message(report), u"All leftovers have been completely removed.");
    report.backup_path = u"C:\\Vorlix\\Backup\\Tool.reg";
    report.remaining_files_folders = {u"C:\\Apps\\Tool\\locked.dll"};
    EXPECT_EQ(window_deletion_message(report),
              u"1 leftover could not be removed.\r\nThe deleted registry entries were saved to "
              u"C:\\Vorlix\\Backup\\Tool.reg");
}

// Closing the window while a worker still reports: the worker ends without
// touching the window, and what was not reported yet is not acted on.
class ClosingMidWay : public LeftoverCards {
protected:
    std::shared_ptr<ServedDispatcher> served = std::make_shared<ServedDispatcher>();

    void SetUp() override {
        LeftoverCards::SetUp();
        dispatcher = served;
        tasks.join_at_once = false;
    }
    // Serves reports until every worker has ended.
    void serve_until_quiet() {
        std::atomic<bool> done = false;
        std::thread joiner([&] {
            tasks.join_workers();
            done = true;
        });
        while (!done) served->try_serve_one(std::chrono::milliseconds(10));
        joiner.join();
    }
};

TEST_F(ClosingMidWay, DuringTheAnalysis) {
    open_window();
    serve_until_quiet();
    window->mpu_pro_cb_BnClick_Uninstall(u"Tool");
    served->serve_one();  // start
    served->serve_one();  // first finding
    window.reset();
    serve_until_quiet();
    EXPECT_EQ(view.cards.back(), Card::Card_Analyzing);
}

TEST_F(ClosingMidWay, DuringTheSupervision) {
    open_window();
    serve_until_quiet();
    window->mpu_pro_cb_BnClick_Uninstall(u"Tool");
    serve_until_quiet();
    ASSERT_EQ(window->active_card(), Card::Card_Step2);
    window->Bn_StartUninstallClick();
    tasks.join_workers();
    tasks.run_pending();
    served->serve_one();  // the supervision's start
    const auto folder = window->mpr_str_CurrentAppPath;
    window.reset();
    serve_until_quiet();
    EXPECT_FALSE(sim::path_exists(folder + result_file_files));
    EXPECT_EQ(view.scan_leftovers_enabled_changes, std::vector<bool>{false});
}

}  // namespace
}  // namespace vorlix::test
