// Program icons: which source a path names, when an icon is scaled, and how
// the window caches what it read.
#include "app_window_support.h"

namespace vorlix::test {
namespace {

struct RuleCase {
    const char16_t* path;
    std::int32_t index;
    char rule;
    IconRead read;
};

TEST(IconSourceChoice, TheFirstRuleThatAppliesDecides) {
    const RuleCase cases[] = {
        {u"C:\\Windows\\Installer\\{1A2B}\\Icon_Product.ico", 0, 'a', IconRead::embedded_in_place},
        {u"C:\\Data\\icon_product_7", 0, 'a', IconRead::embedded_in_place},
        {u"C:\\Windows\\Installer\\{1A2B}\\setupicon", 0, 'a', IconRead::embedded_in_place},
        {u"c:\\windows\\installer\\{1a2b}\\app.ico", 0, 'a', IconRead::embedded_in_place},
        {u"C:\\Windows\\Installer\\{1A2B}\\ARPPRODUCTICON.exe", 0, 'b', IconRead::program_or_shell},
        {u"C:\\Apps\\Tool\\tool.EXE", 0, 'b', IconRead::program_or_shell},
        {u"C:\\Apps\\Tool\\tool.exe.manifest", 0, 'b', IconRead::shell_or_associated},
        {u"C:\\Apps\\Tool\\grid.ocx", 2, 'b', IconRead::shell_or_associated},
        {u"C:\\Apps\\Tool\\res.dll", 3, 'c', IconRead::indexed},
        {u"C:\\Apps\\Tool\\res.dll", no_icon_index, 'c', IconRead::shell},
        {u"C:\\Apps\\Tool\\app.ico", 0, 'd', IconRead::icon_file},
        {u"C:\\Apps\\Tool\\DefaultIcon", 0, 'e', IconRead::icon_file},
        {u"C:\\Apps\\Tool\\favico", 0, 'e', IconRead::icon_file},
        {u"C:\\Apps\\Tool\\icons.bin", 0, 'f', IconRead::none},
        {u"C:\\Apps\\Tool\\readme.txt", 0, 'f', IconRead::none},
        {u"", no_icon_index, 'f', IconRead::none},
    };
    for (const auto& expected : cases) {
        const IconSource source = choose_icon_source(expected.path, expected.index);
        EXPECT_EQ(source.rule, expected.rule) << to_utf8(expected.path);
        EXPECT_EQ(source.read, expected.read) << to_utf8(expected.path);
        EXPECT_EQ(source.path, expected.path);
        EXPECT_EQ(source.index, expected.index);
    }
}

TEST(IconScaling, OnlyAnIconLargerInBothDirectionsIsScaled) {
    EXPECT_TRUE(icon_needs_scaling(RecordingView::icon(48, 48), 32, 32));
    EXPECT_TRUE(icon_needs_scaling(RecordingView::icon(33, 33), 32, 32));
    EXPECT_FALSE(icon_needs_scaling(RecordingView::icon(48, 32), 32, 32));
    EXPECT_FALSE(icon_needs_scaling(RecordingView::icon(32, 256), 32, 32));
    EXPECT_FALSE(icon_needs_scaling(RecordingView::icon(32, 32), 32, 32));
    EXPECT_FALSE(icon_needs_scaling(ProgramIcon{nullptr, 64, 64}, 32, 32));
}

class WindowIcons : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        open_window();
    }
    void report(const std::u16string& name, const std::u16string& icon, std::int32_t index = 0) {
        window->mpu_pro_cb_InstallerSoftwarelist(name, u"Maker", index, icon, u"", u"", u"");
    }
    const ZRB_InstalledSWInfo_Panel& row(const std::u16string& name) const {
        for (const auto& candidate : window->rows())
            if (candidate.mpu_Name_Label() == name) return candidate;
        ADD_FAILURE() << "no row " << to_utf8(name);
        return window->rows().front();
    }
};

TEST_F(WindowIcons, LargeIconsAreScaledToTheLogoAndOthersKeptAsRead) {
    view.icons[u"C:\\Big\\big.exe"] = RecordingView::icon(48, 48);
    view.icons[u"C:\\Wide\\wide.exe"] = RecordingView::icon(48, 32);
    report(u"Big", u"C:\\Big\\big.exe");
    report(u"Wide", u"C:\\Wide\\wide.exe");
    EXPECT_EQ(view.resizes, (std::vector<std::pair<int, int>>{{32, 32}}));
    EXPECT_EQ(row(u"Big").mpu_Logo_Image.width, 32);
    EXPECT_EQ(row(u"Wide").mpu_Logo_Image.width, 48);
    EXPECT_FALSE(row(u"Wide").mpu_Logo_Image.empty());
}

TEST_F(WindowIcons, ACachedInstallerFileIsReadInPlaceAndNothingIsWrittenBesideIt) {
    const std::u16string cached = u"C:\\Windows\\Installer\\{1A2B}\\productIcon";
    sim::add_file(cached, "MZ");
    report(u"Cached", cached);
    ASSERT_EQ(view.icon_reads.size(), 1u);
    EXPECT_EQ(view.icon_reads[0].read, IconRead::embedded_in_place);
    EXPECT_EQ(view.icon_reads[0].path, cached);
    EXPECT_FALSE(sim::path_exists(cached + u".EXE"));
    EXPECT_FALSE(row(u"Cached").mpu_Logo_Image.empty());
}

TEST_F(WindowIcons, AMissingInstallerFileOrAPathOfNoRuleGivesAnEmptyIconWithoutAsking) {
    report(u"Gone", u"C:\\Windows\\Installer\\{1A2B}\\productIcon");
    report(u"Plain", u"C:\\Apps\\notes.txt");
    EXPECT_TRUE(view.icon_reads.empty());
    EXPECT_TRUE(row(u"Gone").mpu_Logo_Image.empty());
    EXPECT_TRUE(row(u"Plain").mpu_Logo_Image.empty());
}

TEST_F(WindowIcons, IconsAreReadOncePerNameAndAFailedReadIsTriedAgain) {
    view.icons[u"C:\\Broken\\broken.exe"] = std::nullopt;
    report(u"Tool", u"C:\\Tool\\tool.exe");
    report(u"Broken", u"C:\\Broken\\broken.exe");
    EXPECT_TRUE(row(u"Broken").mpu_Logo_Image.empty());
    EXPECT_EQ(view.icon_reads.size(), 2u);

    // A refresh keeps the cache: only the name that has none is read again.
    window->Bn_RefreshClick();
    report(u"Tool", u"C:\\Tool\\other.exe");
    report(u"Broken", u"C:\\Broken\\broken.exe");
    ASSERT_EQ(view.icon_reads.size(), 3u);
    EXPECT_EQ(view.icon_reads[2].path, u"C:\\Broken\\broken.exe");
    EXPECT_FALSE(row(u"Tool").mpu_Logo_Image.empty());
}

TEST_F(WindowIcons, ARowAfterARefreshShowsItsOwnIconOnly) {
    report(u"Tool", u"C:\\Tool\\tool.exe");
    window->Bn_RefreshClick();
    report(u"Notes", u"C:\\Notes\\notes.txt");
    EXPECT_TRUE(row(u"Notes").mpu_Logo_Image.empty());
}

TEST_F(WindowIcons, IconsAreReadOffTheUserInterfaceThreadAndReachTheRowWhenTheReadEnds) {
    // A new window whose workers' reports the test serves.
    auto switched = std::make_shared<SwitchedDispatcher>();
    dispatcher = switched;
    open_window();
    auto served = std::make_shared<ServedDispatcher>();
    switched->to = served;
    tasks.join_at_once = false;

    report(u"Tool", u"C:\\Tool\\tool.exe");
    EXPECT_TRUE(row(u"Tool").mpu_Logo_Image.empty());
    ASSERT_TRUE(served->try_serve_one(std::chrono::seconds(20)));
    tasks.join_workers();
    EXPECT_FALSE(row(u"Tool").mpu_Logo_Image.empty());
    EXPECT_EQ(view.icon_reads.size(), 1u);
    EXPECT_NE(view.icon_read_thread, std::this_thread::get_id());
}

TEST_F(WindowIcons, AScaleChangeReadsEachIconAgainAtTheNewLogoSize) {
    report(u"Tool", u"C:\\Tool\\tool.exe", 3);
    report(u"Plain", u"C:\\Apps\\notes.txt");
    view.logo = {48, 48};
    window->logo_size_changed();
    // The program without an icon is not read; the other is, at 48 pixels.
    EXPECT_EQ(view.icon_read_widths, (std::vector<int>{32, 48}));
    EXPECT_EQ(view.icon_reads.back().path, u"C:\\Tool\\tool.exe");
    // The same source as the first read.
    EXPECT_EQ(view.icon_reads.back().rule, view.icon_reads.front().rule);
    EXPECT_EQ(view.icon_reads.back().read, view.icon_reads.front().read);
    EXPECT_EQ(view.icon_reads.back().index, view.icon_reads.front().index);
    EXPECT_FALSE(row(u"Tool").mpu_Logo_Image.empty());

    // The icon read again is cached under its name: listing it anew reads nothing.
    window->Bn_RefreshClick();
    report(u"Tool", u"C:\\Tool\\tool.exe");
    EXPECT_EQ(view.icon_read_widths.size(), 2u);
    EXPECT_FALSE(row(u"Tool").mpu_Logo_Image.empty());
}

}  // namespace
}  // namespace vorlix::test
