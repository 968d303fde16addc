// The update check and the maker's links: which published versions announce
// an update, how the document is read, and the order of the browser starts.
#include <string>
#include <vector>

#include "app/update_check.h"
#include "app/web_links.h"
#include "app_window_support.h"

namespace vorlix::test {
namespace {

const std::u16string folder = u"C:\\Vorlix\\";
const std::u16string local_copy = folder + u"new_update.json";

TEST(UpdateVersion, OnlyANewerVersionOfFourNumbersIsAnnounced) {
    EXPECT_TRUE(is_newer_version(u"3.0.0.186", u"3.0.0.185"));
    EXPECT_TRUE(is_newer_version(u"3.0.1.0", u"3.0.0.999"));
    EXPECT_TRUE(is_newer_version(u"10.0.0.0", u"9.9.9.9"));  // numbers, not texts
    EXPECT_FALSE(is_newer_version(u"3.0.0.185", u"3.0.0.185"));
    EXPECT_FALSE(is_newer_version(u"3.0.0.184", u"3.0.0.185"));
    EXPECT_FALSE(is_newer_version(u"2.9.9.999", u"3.0.0.0"));
    for (const auto* malformed : {u"", u"4.0.0", u"4.0.0.0.0", u"4.0.0.x", u"4..0.0", u"4.0.0.", u" 4.0.0.0",
                                  u"4.0.0.0 ", u"-4.0.0.0", u"4.0.0.99999999999", u"v4.0.0.0"})
        EXPECT_FALSE(is_newer_version(malformed, u"3.0.0.185")) << to_utf8(malformed);
    EXPECT_FALSE(is_newer_version(u"4.0.0.0", u"3.0.0"));
    EXPECT_EQ(parse_version(u"4294967295.0.01.7"), (VersionNumbers{4294967295u, 0, 1, 7}));
}

class UpdateDocument : public SimTest {
protected:
    static std::u16string read(const std::string& bytes) {
        sim::add_file(local_copy, bytes);
        return read_update_version(local_copy);
    }
};

TEST_F(UpdateDocument, TheVersionMemberIsReadInEveryEncodingWithAByteOrderMark) {
    EXPECT_EQ(read(R"({"name": "Vorlix", "version": "3.0.0.186"})"), u"3.0.0.186");
    EXPECT_EQ(read("\xEF\xBB\xBF{\"version\":\"3.0.0.187\"}"), u"3.0.0.187");
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string(R"({"version":"3.0.0.188"})")) utf16 += std::string{c, '\0'};
    EXPECT_EQ(read(utf16), u"3.0.0.188");
}

TEST_F(UpdateDocument, AnythingButAnObjectWithATextVersionReadsAsEmpty) {
    EXPECT_EQ(read("<html><body>404 Not Found</body></html>"), u"");
    EXPECT_EQ(read(R"({"name": "Vorlix"})"), u"");
    EXPECT_EQ(read(R"({"version": 3})"), u"");
    EXPECT_EQ(read(R"(["3.0.0.186"])"), u"");
    EXPECT_EQ(read(""), u"");
    EXPECT_EQ(read_update_version(u"C:\\Nowhere\\new_update.json"), u"");
    EXPECT_EQ(read_update_version(u""), u"");
}

class UpdateCheck : public SimTest {
protected:
    std::vector<std::u16string> downloads;
    int announced = 0;

    // A download that writes `document`, or fails when it is empty.
    DownloadFunction serving(const std::string& document) {
        return [this, document](const std::u16string& address, const std::u16string& path) {
            downloads.push_back(address);
            if (document.empty()) return false;
            sim::add_file(path, document);
            return true;
        };
    }
    void check(const std::string& document, const std::u16string& running = u"3.0.0.185",
               const std::u16string& in_folder = folder) {
        run_update_check(serving(document), running, in_folder, u"https://www.example.org/download/new_update.json",
                         [this] { ++announced; });
    }
};

TEST_F(UpdateCheck, TheLabelIsAnnouncedOnlyForANewerVersion) {
    check(R"({"version":"3.0.0.185"})");
    check(R"({"version":"3.0.0.184"})");
    check(R"({"version":""})");
    check("<html>error</html>");
    EXPECT_EQ(announced, 0);
    check(R"({"version":"3.0.0.186"})");
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(downloads.size(), 5u);
    EXPECT_EQ(downloads[0], u"https://www.example.org/download/new_update.json");
}

TEST_F(UpdateCheck, TheLocalCopyIsDeletedFirstSoAFailedDownloadLeavesNoneBehind) {
    sim::add_file(local_copy, R"({"version":"9.0.0.0"})");
    check("");
    EXPECT_EQ(announced, 0);
    EXPECT_FALSE(sim::path_exists(local_copy));
}

TEST_F(UpdateCheck, WithoutAVersionOrAFolderNothingIsDownloadedOrDeleted) {
    sim::add_file(local_copy, R"({"version":"9.0.0.0"})");
    check(R"({"version":"9.0.0.0"})", u"");
    check(R"({"version":"9.0.0.0"})", u"3.0.0.185", u"");
    EXPECT_TRUE(downloads.empty());
    EXPECT_TRUE(sim::path_exists(local_copy));
    EXPECT_EQ(announced, 0);
}

TEST_F(MainWindowTest, ShowingTheWindowChecksForUpdatesWithItsOwnVersionAndFolder) {
    view.version = FileVersion{3, 0, 0, 185};
    std::u16string fetched;
    view.download = [&fetched](const std::u16string& address, const std::u16string& path) {
        fetched = address;
        sim::add_file(path, R"({"version":"3.0.0.186"})");
        return true;
    };
    open_window();
    EXPECT_EQ(fetched, u"https://www.example.org/download/new_update.json");
    EXPECT_EQ(view.update_label_visible, true);
    EXPECT_TRUE(sim::path_exists(window->mpr_str_CurrentAppPath + u"new_update.json"));
}

class WebLinks : public SimTest {
protected:
    // Shell starts that succeed, by file; every other start fails.
    std::vector<std::u16string> starting;

    void SetUp() override {
        SimTest::SetUp();
        sim::set_shell_handler([this](const sim::ShellRequest& request, std::uint32_t& pid) -> std::intptr_t {
            pid = 0;
            return std::find(starting.begin(), starting.end(), request.file) != starting.end() ? 42 : 31;
        });
    }
    std::vector<std::u16string> started_files() const {
        std::vector<std::u16string> files;
        for (const auto& request : sim::shell_requests()) {
            EXPECT_EQ(request.verb, u"open");
            EXPECT_EQ(request.show, os::sw_shownormal);
            files.push_back(request.file);
        }
        return files;
    }
};

TEST_F(WebLinks, BrowsersAreTriedInTurnUntilOneStarts) {
    const std::u16string address = u"https://www.example.com/signin.html";
    starting = {u"Chrome.exe"};
    open_web_address(0x1234, address);
    EXPECT_EQ(started_files(), (std::vector<std::u16string>{address, u"msedge.exe", u"Chrome.exe"}));
    EXPECT_EQ(sim::shell_requests()[2].parameters, address);
}

TEST_F(WebLinks, TheDefaultHandlerIsEnoughAndMailHasNoFallback) {
    starting = {u"https://www.example.com/"};
    open_web_address(0x1234, u"https://www.example.com/");
    open_mail_address(0x1234, u"support@example.com");
    EXPECT_EQ(started_files(),
              (std::vector<std::u16string>{u"https://www.example.com/", u"mailto:support@example.com"}));
}

}  // namespace
}  // namespace vorlix::test
