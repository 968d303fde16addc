// The program list: rows in report order, the Uninstall button of a row,
// search, categories and refresh, with the uninstalled names kept out.
#include "access/Unit_ZRB_func_Str.h"
#include "app_window_support.h"

namespace vorlix::test {
namespace {

class ProgramList : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        install(u"Zeta Viewer", u"Zeta Labs");
        install(u"Adobe Reader", u"Adobe Inc.");
        install(u"photo tools for ADOBE", u"Pixel Co");
        install(u"Beta Suite", u"Intel Corporation", u"C:\\Apps\\Beta");
        install(u"Gamma", u"Pineapple Software");
    }
    static std::vector<std::u16string> all_names() {
        return {u"Adobe Reader", u"Beta Suite", u"Gamma", u"photo tools for ADOBE", u"Zeta Viewer"};
    }
};

TEST_F(ProgramList, RowsComeInReportOrderWithTheReportedTextsAndTheListEndsAtTheTop) {
    open_window();
    EXPECT_EQ(visible_names(), all_names());
    const auto& beta = window->rows()[window->visible_rows()[1]];
    EXPECT_EQ(beta.mpu_Publisher_Label(), u"Intel Corporation");
    EXPECT_EQ(beta.mpu_Location_Label(), u"C:\\Apps\\Beta\\");
    // The list follows each new row, then goes back to the top.
    ASSERT_GE(view.scrolls.size(), 2u);
    EXPECT_EQ(view.scrolls[view.scrolls.size() - 2], ListPosition::last_row);
    EXPECT_EQ(view.scrolls.back(), ListPosition::top);
}

TEST_F(ProgramList, AnsweringNoToTheUninstallQuestionChangesNothing) {
    open_window();
    view.answer_yes = false;
    window->mpu_pro_cb_BnClick_Uninstall(u"Gamma");
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, u"Are you sure you want to uninstall Gamma ?");
    EXPECT_EQ(view.messages[0].kind, MessageKind::question);
    EXPECT_EQ(window->SelectedSoftware, nullptr);
    EXPECT_TRUE(sim::shell_requests().empty());
    EXPECT_EQ(visible_names(), all_names());
    EXPECT_TRUE(window->mpr_list_Uninstalled_InstalledSWName.empty());
}

TEST_F(ProgramList, AProgramWithoutALocationIsOnlyUninstalledAndStaysHiddenThroughRefreshAndSearch) {
    open_window();
    window->mpu_pro_cb_BnClick_Uninstall(u"Gamma");
    ASSERT_EQ(sim::shell_requests().size(), 1u);
    EXPECT_TRUE(Str_ContainsText(sim::shell_requests()[0].file, u"Gamma.exe"));
    ASSERT_NE(window->SelectedSoftware, nullptr);
    EXPECT_EQ(window->SelectedSoftware->mpu_str_Name, u"Gamma");
    EXPECT_EQ(window->mpr_str_SelUnstallSoftware, u"Gamma");
    EXPECT_EQ(window->mpr_str_SelUnstallSoftware_PU, u"Pineapple Software");
    EXPECT_EQ(window->mpr_list_Uninstalled_InstalledSWName, StringList{u"Gamma"});
    EXPECT_EQ(window->active_card(), Card::Card_Step1);
    EXPECT_EQ(window->mpr_int_UninstallMode, -1);
    const auto without_gamma =
        std::vector<std::u16string>{u"Adobe Reader", u"Beta Suite", u"photo tools for ADOBE", u"Zeta Viewer"};
    EXPECT_EQ(visible_names(), without_gamma);

    // Still installed, yet never listed again during this run.
    refresh();
    EXPECT_EQ(visible_names(), without_gamma);
    search(u"gam");
    EXPECT_EQ(view.messages.back().text, u"Sorry, no software found.");
    window->mpu_pro_cb_BnClick_Classified(u"ALL");
    EXPECT_EQ(visible_names(), without_gamma);
}

TEST_F(ProgramList, AProgramWithAScannableLocationGoesToTheAnalysis) {
    open_window();
    window->mpu_pro_cb_BnClick_Uninstall(u"Beta Suite");
    // The analysis ran to its end on its own thread: step 2 follows.
    ASSERT_GE(view.cards.size(), 2u);
    EXPECT_EQ(std::vector<Card>(view.cards.end() - 2, view.cards.end()),
              (std::vector<Card>{Card::Card_Analyzing, Card::Card_Step2}));
    EXPECT_EQ(window->mpr_int_UninstallMode, 1);
    EXPECT_EQ(window->mpr_int_UninstallType, 1);
    EXPECT_EQ(window->mpr_str_SelUnstallSoftware, u"Beta Suite");
    EXPECT_EQ(window->mpr_str_SelUnstallSoftware_PU, u"Intel Corporation");
    ASSERT_NE(window->SelectedSoftware, nullptr);
    EXPECT_TRUE(sim::shell_requests().empty());
    EXPECT_TRUE(window->mpr_list_Uninstalled_InstalledSWName.empty());
    EXPECT_EQ(visible_names(), all_names());
}

TEST_F(ProgramList, TypingLettersFindsTheNextVisibleRowStartingWithThemIgnoringCase) {
    install(u"Écran Tool", u"Pixel Co");
    install(u"Gamma Two", u"Pixel Co");
    open_window();
    const auto names = visible_names();
    const auto at = [&](std::u16string_view name) {
        return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
    };
    struct Case {
        const char16_t* typed;
        const char16_t* from;  // the search starts at this row
        const char16_t* found;  // null: no row
    };
    const Case cases[] = {
        {u"g", u"Adobe Reader", u"Gamma"},
        {u"G", u"Gamma Two", u"Gamma Two"},
        {u"g", u"photo tools for ADOBE", u"Gamma"},  // wraps round
        {u"PHOTO T", u"Beta Suite", u"photo tools for ADOBE"},
        {u"é", u"Adobe Reader", u"Écran Tool"},
        {u"zeta v", u"Adobe Reader", u"Zeta Viewer"},
        {u"q", u"Adobe Reader", nullptr},
        {u"", u"Adobe Reader", nullptr},
        {u"adobe reader!", u"Adobe Reader", nullptr},
    };
    for (const Case& c : cases) {
        const auto row = window->find_visible_row(c.typed, at(c.from));
        EXPECT_EQ(row, c.found ? std::optional<std::size_t>(at(c.found)) : std::nullopt)
            << to_utf8(c.typed) << " from " << to_utf8(c.from);
    }
    // Only visible rows count, by their visible index.
    search(u"t");
    const auto found = visible_names();
    ASSERT_LT(found.size(), names.size());
    const auto zeta = static_cast<std::size_t>(std::find(found.begin(), found.end(), u"Zeta Viewer") - found.begin());
    EXPECT_EQ(window->find_visible_row(u"z", 0), zeta);
    EXPECT_EQ(window->find_visible_row(u"adobe", 0), std::nullopt);
}

TEST_F(ProgramList, SearchIgnoresCaseAndSurroundingBlanksAndClearsTheCategorySelection) {
    open_window();
    search(u"  adobe \t");
    EXPECT_EQ(visible_names(), (std::vector<std::u16string>{u"Adobe Reader", u"photo tools for ADOBE"}));
    EXPECT_EQ(window->mpr_list_Search_InstalledSWName, (StringList{u"Adobe Reader", u"photo tools for ADOBE"}));
    EXPECT_TRUE(selected_categories().empty());
    EXPECT_EQ(tasks.delays.back(), 500u);
    EXPECT_EQ(view.search_enabled_changes, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.loading_shows, 1);
    EXPECT_FALSE(view.loading);
    EXPECT_TRUE(view.messages.empty());

    // "All" brings back the rows the search hid.
    window->mpu_pro_cb_BnClick_Classified(u"ALL");
    EXPECT_EQ(visible_names(), all_names());
    EXPECT_EQ(selected_categories(), std::vector<std::u16string>{u"ALL"});
}

TEST_F(ProgramList, AnEmptyOrPlaceholderSearchAsksForKeywordsAndChangesNothing) {
    open_window();
    search(u"Adobe Reader");
    for (const auto* text : {u"", u"   ", u"Search...", u" Search... "}) {
        search(text);
        EXPECT_EQ(view.messages.back().text,
                  u"Please enter the program keywords, such as Adobe Photoshop, Office 2010...");
        EXPECT_EQ(view.messages.back().kind, MessageKind::information);
    }
    EXPECT_EQ(view.messages.size(), 4u);
    EXPECT_EQ(visible_names(), std::vector<std::u16string>{u"Adobe Reader"});
    EXPECT_EQ(window->mpr_list_Search_InstalledSWName, StringList{u"Adobe Reader"});
}

TEST_F(ProgramList, ASearchWithoutMatchEmptiesTheResultButKeepsTheRows) {
    open_window();
    search(u"zeta");
    search(u"Nothing Like This");
    EXPECT_EQ(view.messages.back().text, u"Sorry, no software found.");
    EXPECT_EQ(view.messages.back().kind, MessageKind::information);
    EXPECT_TRUE(window->mpr_list_Search_InstalledSWName.empty());
    EXPECT_EQ(visible_names(), std::vector<std::u16string>{u"Zeta Viewer"});
}

TEST_F(ProgramList, ASearchOnAnEmptyListDoesNothing) {
    sim::reset();
    open_window();
    search(u"adobe");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(tasks.waiting(), 0u);
}

TEST_F(ProgramList, ThePlaceholderGoesOnFocusAndEnterSearches) {
    open_window();
    window->ed_Step1_SearchEnter();
    EXPECT_EQ(view.search_box, u"");
    EXPECT_EQ(view.search_colour, 0x000000u);
    view.search_box = u"zeta";
    window->ed_Step1_SearchEnter();
    EXPECT_EQ(view.search_box, u"zeta");
    window->ed_Step1_SearchKeyDown(65);
    EXPECT_EQ(visible_names(), all_names());
    window->ed_Step1_SearchKeyDown(13);
    EXPECT_EQ(visible_names(), std::vector<std::u16string>{u"Zeta Viewer"});
}

TEST_F(ProgramList, PublishersRevealTheirCategoriesAlsoInsideLongerWords) {
    open_window();
    EXPECT_EQ(visible_categories(), (std::vector<std::u16string>{u"ALL", u"APPLE", u"ADOBE", u"INTEL"}));
    window->mpu_pro_cb_InstallerSoftwarelist(u"Radeon Settings", u"Advanced Micro Devices, Inc.", no_icon_index, u"",
                                             u"", u"", u"");
    EXPECT_EQ(visible_categories(), (std::vector<std::u16string>{u"ALL", u"APPLE", u"ADOBE", u"ADVANCED MICRO DEVICES", u"INTEL"}));
}

TEST_F(ProgramList, ACategoryShowsThePublishersRowsAndIsTheOnlySelectedOne) {
    open_window();
    window->mpu_pro_cb_BnClick_Classified(u"APPLE");
    EXPECT_EQ(visible_names(), std::vector<std::u16string>{u"Gamma"});
    EXPECT_EQ(selected_categories(), std::vector<std::u16string>{u"APPLE"});
    EXPECT_FALSE(view.loading);
    window->mpu_pro_cb_BnClick_Classified(u"ADOBE");
    EXPECT_EQ(visible_names(), std::vector<std::u16string>{u"Adobe Reader"});
    EXPECT_EQ(selected_categories(), std::vector<std::u16string>{u"ADOBE"});
    EXPECT_EQ(view.scrolls.back(), ListPosition::top);
}

TEST_F(ProgramList, RefreshRebuildsFromANewScanKeepsCategoriesAndSelectsAll) {
    open_window();
    window->mpu_pro_cb_BnClick_Classified(u"INTEL");
    ASSERT_EQ(os::reg_delete_key_ex(os::hkey_local_machine, app_uninstall_key + u"Beta Suite", os::key_wow64_64key, 0), os::error_success);
    install(u"Delta", u"Delta Works");
    const int shows = view.loading_shows;
    refresh();
    EXPECT_EQ(tasks.delays.back(), 1000u);
    EXPECT_EQ(visible_names(),
              (std::vector<std::u16string>{u"Adobe Reader", u"Delta", u"Gamma", u"photo tools for ADOBE", u"Zeta Viewer"}));
    EXPECT_EQ(selected_categories(), std::vector<std::u16string>{u"ALL"});
    // The intel category outlives its last program.
    EXPECT_EQ(visible_categories(), (std::vector<std::u16string>{u"ALL", u"APPLE", u"ADOBE", u"INTEL"}));
    // One loading window for the whole refresh, closed by the scan's end.
    EXPECT_EQ(view.loading_shows, shows + 1);
    EXPECT_FALSE(view.loading);
    // Nothing of the old rows is left to find.
    EXPECT_EQ(window->rows().size(), 5u);
    search(u"beta");
    EXPECT_EQ(view.messages.back().text, u"Sorry, no software found.");
}

}  // namespace
}  // namespace vorlix::test
