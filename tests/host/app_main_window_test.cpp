// The main window's own rules: what showing it sets up, the version and
// folder texts, resizing, the wheel, the loading-window protocol, and closing
// while a scan still runs.
#include "app/window_placement.h"
#include "app_window_support.h"

namespace vorlix::test {
namespace {

using MainWindow = MainWindowTest;

TEST_F(MainWindow, ShowingItOpensTheProgramListWithThePlaceholderAndOnlyAllSelected) {
    view.version = FileVersion{3, 0, 0, 185};
    open_window();
    EXPECT_EQ(view.cards, std::vector<Card>{Card::Card_Step1});
    EXPECT_EQ(window->active_card(), Card::Card_Step1);
    EXPECT_EQ(view.search_box, u"Search...");
    EXPECT_EQ(view.search_colour, 0x808080u);
    EXPECT_EQ(view.update_label_visible, false);
    EXPECT_EQ(window->mpr_int_UninstallMode, -1);
    EXPECT_EQ(window->SelectedSoftware, nullptr);
    EXPECT_EQ(window->mpr_str_CurrentAppPath, executable_folder(os::get_module_file_name()));
    EXPECT_EQ(view.version_text, u"Version: 2023 3.0.0.185");
    EXPECT_EQ(window->version_numbers(), u"3.0.0.185");
    EXPECT_EQ(visible_categories(), std::vector<std::u16string>{u"ALL"});
    EXPECT_EQ(selected_categories(), std::vector<std::u16string>{u"ALL"});
    ASSERT_EQ(window->categories().size(), 7u);
    EXPECT_EQ(window->categories()[4].mpu_Background_Panel_Caption, u"ADVANCED MICRO DEVICES");
    EXPECT_EQ(window->categories()[4].skin_name, u"Bn_AMD");
    EXPECT_EQ(window->categories()[5].mpu_Background_Panel_Caption, u"INTEL");
    // The buttons are named as written, for screen readers.
    EXPECT_EQ(window->categories()[4].name_text, u"Advanced Micro Devices");
    EXPECT_EQ(window->categories()[5].name_text, u"intel");
}

TEST_F(MainWindow, AnUnreadableFileVersionReadsAsZeros) {
    open_window();
    EXPECT_EQ(view.version_text, u"Version: 2023 0.0.0.0");
    EXPECT_EQ(version_label_text({65535, 1, 22, 333}), u"Version: 2023 65535.1.22.333");
}

TEST_F(MainWindow, TheExecutableFolderEndsInExactlyOneBackslash) {
    EXPECT_EQ(executable_folder(u"C:\\Apps\\Vorlix\\vorlix.exe"), u"C:\\Apps\\Vorlix\\");
    EXPECT_EQ(executable_folder(u"C:\\Apps\\Vorlix\\\\vorlix.exe"), u"C:\\Apps\\Vorlix\\");
    EXPECT_EQ(executable_folder(u"C:\\vorlix.exe"), u"C:\\");
    EXPECT_EQ(executable_folder(u"\\\\server\\share\\vorlix.exe"), u"\\\\server\\share\\");
}

TEST(WindowPlacement, SecondaryWindowsAreCentredWithHalvesRoundedToEven) {
    EXPECT_EQ(centred_on_main({100, 50}, {1000, 730}, {300, 200}), (ScreenPoint{450, 315}));
    // 500.5 -> 500, 150.5 -> 150, 365.5 -> 366, 100.5 -> 100.
    EXPECT_EQ(centred_on_main({0, 0}, {1001, 731}, {301, 201}), (ScreenPoint{350, 266}));
    // 501.5 -> 502, 151.5 -> 152, 366.5 -> 366, 101.5 -> 102.
    EXPECT_EQ(centred_on_main({0, 0}, {1003, 733}, {303, 203}), (ScreenPoint{350, 264}));
    // A window larger than the main one, on a monitor left of the primary.
    EXPECT_EQ(centred_on_main({-1920, 10}, {500, 400}, {601, 600}), (ScreenPoint{-1920 + 250 - 300, 10 + 200 - 300}));
}

TEST_F(MainWindow, ResizingIsRefusedFromTheFirstShowOn) {
    window = std::make_unique<TForm_Main>(view, tasks, dispatcher, std::make_shared<NoPacing>());
    window->FormCreate();
    EXPECT_TRUE(window->FormCanResize());
    window->FormShow();
    EXPECT_FALSE(window->FormCanResize());
}

TEST_F(MainWindow, TheWheelScrollsOneStepOfTwoRowsPerNotchDownForANegativeDelta) {
    struct Case {
        const char* what;
        std::vector<int> deltas;
        std::vector<int> lines;
    };
    const Case cases[] = {
        {"whole notches", {-120, 120, -240}, {1, -1, 1, 1}},
        {"a touchpad's small deltas add up", {40, 40, 30, 10, 40}, {-1}},
        {"a turn the other way drops the rest", {100, -30, -90}, {1}},
        {"no delta, no scroll", {0, 0}, {}},
    };
    for (const Case& c : cases) {
        open_window();
        view.scrolled_lines.clear();
        window->SB_SWList_MainMouseWheel();
        EXPECT_EQ(view.scroll_step, 160);
        for (int delta : c.deltas) window->FormMouseWheel(delta);
        EXPECT_EQ(view.scrolled_lines, c.lines) << c.what;
    }
}

TEST_F(MainWindow, TheScanStartOnlyPostsARequestAndTheLoadingWindowShowsOnceWhenServed) {
    open_window();
    // The first scan ended before its request was served: nothing is left to show.
    EXPECT_EQ(view.posts, 1);
    window->on_show_loading_message();
    EXPECT_EQ(view.loading_shows, 0);

    window->mpu_pro_cb_InstallerSoftwarelist_Start();
    EXPECT_EQ(view.posts, 2);
    EXPECT_EQ(view.loading_shows, 0);
    window->on_show_loading_message();
    EXPECT_EQ(view.loading_shows, 1);
    EXPECT_TRUE(view.loading);
    // A second request while it is up does nothing.
    window->mpr_pro_ShowLoading();
    window->on_show_loading_message();
    EXPECT_EQ(view.loading_shows, 1);

    window->mpu_pro_cb_InstallerSoftwarelist_End();
    EXPECT_FALSE(view.loading);
    EXPECT_EQ(view.scrolls.back(), ListPosition::top);
}

TEST_F(MainWindow, ClosingWhileTheScanRunsDropsItsLaterReportsAndLeavesItsDataAlive) {
    for (const auto* name : {u"Alpha", u"Beta", u"Gamma", u"Delta"}) install(name, u"Maker");
    auto served = std::make_shared<ServedDispatcher>();
    dispatcher = served;
    tasks.join_at_once = false;
    open_window();
    const auto list = window->installed_software();

    served->serve_one();  // start
    served->serve_one();  // first program
    EXPECT_EQ(window->rows().size(), 1u);
    const int changes = view.list_changes;
    window->FormClose();
    window.reset();
    // Three more programs, the end and the first program's icon read:
    // served after the window has gone.
    for (int report = 0; report < 5; ++report) served->serve_one();
    tasks.join_workers();

    EXPECT_EQ(view.list_changes, changes);
    EXPECT_EQ(list->mpu_SDLarry_InstalledSoftware.size(), 4u);
}

TEST_F(MainWindow, TasksThatComeDueAfterTheWindowClosedDoNothing) {
    install(u"Alpha", u"Maker");
    open_window();
    view.loading = true;  // the refresh's pause has not passed yet
    window->Bn_RefreshClick();
    ASSERT_EQ(tasks.waiting(), 1u);
    window->FormClose();
    const int changes = view.list_changes;
    tasks.run_pending();
    EXPECT_EQ(view.list_changes, changes);
}

}  // namespace
}  // namespace vorlix::test
