// The forms of many folders in a row: the same as asking GetLongPathNameW
// folder by folder, with each folder below an already resolved one looked up
// once; the known-folder capture built on them; and the scan, which keeps one
// set of look-ups for all its entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "inventory/folder_forms.h"
#include "inventory/known_folders.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "inventory_test_support.h"
#include "support/sim_test.h"

namespace vorlix::test {
namespace {

// Short names at several depths: the profile, AppData below it, a folder
// further down, and a non-ASCII name whose case the file system keeps.
class FolderFormsTest : public SimTest {
protected:
    static constexpr const char16_t* profile = u"C:\\Users\\Long User Name";

    sim::MachineConfig machine() const override {
        sim::MachineConfig config;
        config.user_name = u"Long User Name";
        return config;
    }
    void SetUp() override {
        SimTest::SetUp();
        const std::u16string home = profile;
        sim::set_short_name(home, u"LONGUS~1");
        sim::set_short_name(home + u"\\AppData", u"APPDAT~1");
        sim::add_folder(home + u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
        sim::set_short_name(home + u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu", u"STARTM~1");
        // One short name for two folders in different places.
        sim::add_folder(u"C:\\Program Files\\Tools Alpha");
        sim::set_short_name(u"C:\\Program Files\\Tools Alpha", u"TOOLS~1");
        sim::add_folder(u"C:\\ProgramData\\Tools Beta");
        sim::set_short_name(u"C:\\ProgramData\\Tools Beta", u"TOOLS~1");
        sim::add_folder(u"C:\\Data\\\u00e4rger");
        sim::add_file(u"C:\\Data\\notes.txt");
    }

    static std::uint64_t file_calls() { return sim::call_counts().files; }
};

// Every shape a folder may be given in, the forms as GetLongPathNameW gives
// them whole, and the look-ups of those that exist shared between them.
TEST_F(FolderFormsTest, FormsAreThoseOfTheWholePathLookUpInAnyOrder) {
    const std::vector<std::u16string> folders = {
        u"C:\\Users\\LONGUS~1\\APPDAT~1\\Roaming\\",
        u"c:\\users\\longus~1\\appdata\\local\\temp",
        u"C:\\Users\\Long User Name\\APPDAT~1\\Roaming\\Microsoft\\Windows\\STARTM~1\\Programs\\",
        u"C:/PROGRA~1/COMMON~1/",
        u"C:\\PROGRA~2\\Common Files\\..\\COMMON~1",
        u"C:\\\\PROGRA~3\\",
        u"C:\\.\\Users\\LONGUS~1\\Documents\\",
        u"C:\\Users\\LONGUS~1\\DOCUME~1\\",
        u"C:\\PROGRA~1\\TOOLS~1\\",
        u"C:\\PROGRA~3\\TOOLS~1\\",
        u"C:\\Data\\\u00c4RGER\\",
        u"C:\\Data\\notes.txt\\",
        u"C:\\Data\\notes.txt\\SUB\\",
        u"C:\\PROGRA~1\\NOPE~1\\",
        u"C:\\PROGRA~1\\NOPE~1\\Long Folder Name\\",
        u"D:\\PROGRA~1\\",
        u"C:\\PROGRA~1\\*\\",
        u"C:\\PROGRA~1\\Tool?\\",
        u"C:\\PROGRA~1\\a<b\\",
        u"C:\\",
        u"C:PROGRA~1",
        u"\\\\?\\C:\\PROGRA~1\\",
        u"\\\\server\\share\\PROGRA~1\\",
        u"C:\\Windows\\System32\\",
    };
    FolderForms forward, backward;
    for (const auto& folder : folders) EXPECT_EQ(forward.of(folder), FolderForms::single(folder)) << to_utf8(folder);
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
        EXPECT_EQ(backward.of(*folder), FolderForms::single(*folder)) << to_utf8(*folder);
    EXPECT_EQ(forward.of(folders[0]), (StringList{u"C:\\USERS\\LONGUS~1\\APPDAT~1\\ROAMING\\",
                                                  u"C:\\USERS\\LONG USER NAME\\APPDATA\\ROAMING\\"}));
    // The file system keeps the case of a name beyond ASCII; the spelling
    // stays when it names the same folder in another case.
    EXPECT_EQ(forward.of(u"C:\\Data\\\u00c4rger"), (StringList{u"C:\\DATA\\\u00c4RGER\\", u"C:\\DATA\\\u00c4RGER\\"}));
}

// Where the result is not that of the whole-path look-up: a name that cannot
// be short is taken as written, without asking whether it exists, and the
// lexical spelling is what is resolved (trailing dots and blanks of a name
// dropped), so either still gives the long form of the short names above.
TEST_F(FolderFormsTest, MissingLongNamesAndLexicalSpellingsStillGiveTheLongForm) {
    for (const auto* folder : {u"C:\\PROGRA~1\\Missing Vendor\\", u"C:\\PROGRA~1.\\Missing Vendor \\ "}) {
        EXPECT_EQ(FolderForms::single(folder), StringList{u"C:\\PROGRA~1\\MISSING VENDOR\\"}) << to_utf8(folder);
        EXPECT_EQ(FolderForms().of(folder),
                  (StringList{u"C:\\PROGRA~1\\MISSING VENDOR\\", u"C:\\PROGRAM FILES\\MISSING VENDOR\\"}))
            << to_utf8(folder);
    }
}

TEST_F(FolderFormsTest, EachNameBelowAResolvedFolderIsLookedUpOnce) {
    FolderForms forms;
    sim::reset_call_counts();
    forms.of(u"C:\\Users\\LONGUS~1\\AppData\\Roaming\\");
    // Users, LONGUS~1, AppData and Roaming: a search and its close each.
    EXPECT_EQ(file_calls(), 8u);
    // Local is new; Users, the profile and AppData are known, under either spelling.
    sim::reset_call_counts();
    forms.of(u"C:\\Users\\Long User Name\\APPDATA\\Local\\");
    EXPECT_EQ(file_calls(), 2u);
    // Names that cannot be short are never asked for, nor is anything asked twice.
    sim::reset_call_counts();
    forms.of(u"C:\\Users\\LONGUS~1\\AppData\\Roaming\\Microsoft\\");
    forms.of(u"C:\\users\\longus~1\\appdata\\local\\");
    forms.of(u"C:\\Program Files\\Common Files\\");
    EXPECT_EQ(file_calls(), 0u);
    // A missing name is remembered as missing.
    forms.of(u"C:\\Users\\LONGUS~1\\NOPE~1\\");
    sim::reset_call_counts();
    EXPECT_EQ(forms.of(u"C:\\Users\\LONGUS~1\\NOPE~1\\Below\\"), StringList{u"C:\\USERS\\LONGUS~1\\NOPE~1\\BELOW\\"});
    EXPECT_EQ(file_calls(), 0u);
}

// A folder asked for many names is read once; its listing answers as the
// look-up of each name would, by long name, by short name with or without a
// tilde, in any case, and leaves missing names to a look-up of their own.
// A caller that only asks whether a form lies inside a set closed upwards
// gets the verdict of the whole long form, without the look-ups below the
// first resolved folder outside the set.
TEST_F(FolderFormsTest, FormsAskedForASetGiveItsVerdictAndLookUpLess) {
    sim::add_folder(u"C:\\Program Files\\Common Files\\Below");
    sim::set_short_name(u"C:\\Program Files\\Common Files", u"COMMON~1");
    const std::set<std::u16string> set = {u"C:\\", u"C:\\PROGRAM FILES\\", u"C:\\PROGRAM FILES\\COMMON FILES\\"};
    const auto inside = [&set](const std::u16string& form) { return set.count(form) > 0; };
    const auto any_inside = [&inside](const StringList& forms) { return std::any_of(forms.begin(), forms.end(), inside); };
    const struct {
        const char16_t* folder;
        bool inside;
    } cases[] = {
        {u"C:\\PROGRA~1\\COMMON~1\\", true},
        {u"c:/progra~1/common~1", true},
        {u"C:\\PROGRA~1\\COMMON~1\\Below\\", false},
        {u"C:\\PROGRA~1\\TOOLS~1\\", false},
        {u"C:\\PROGRA~1\\TOOLS~1\\Missing\\", false},
        {u"C:\\Users\\LONGUS~1\\APPDAT~1\\Roaming\\", false},
        {u"C:\\Program Files\\NOPE~1\\", false},
    };
    std::uint64_t whole_calls = 0, set_calls = 0;
    for (const auto& entry : cases) {
        sim::reset_call_counts();
        const auto whole = FolderForms().of(entry.folder);
        whole_calls += file_calls();
        sim::reset_call_counts();
        const auto asked = FolderForms().of(entry.folder, inside);
        set_calls += file_calls();
        EXPECT_EQ(any_inside(whole), entry.inside) << to_utf8(entry.folder);
        EXPECT_EQ(any_inside(asked), entry.inside) << to_utf8(entry.folder);
        EXPECT_EQ(asked.front(), whole.front()) << to_utf8(entry.folder);
    }
    EXPECT_LT(set_calls, whole_calls);
}

TEST_F(FolderFormsTest, AFolderAskedForManyNamesAnswersAsTheLookUpsWould) {
    const std::u16string many = u"C:\\Program Files\\Many\\";
    for (const auto* name : {u"Alpha Long Name", u"Beta Folder", u"Tool7", u"\u00c9diteur 3", u"App1", u"App2", u"App3"})
        sim::add_folder(many + name);
    sim::set_short_name(many + u"Alpha Long Name", u"ALPHAL~1");
    sim::set_short_name(many + u"Beta Folder", u"BETA");
    const std::vector<std::u16string> asked = {u"App1",      u"App2",      u"Tool7",   u"ALPHAL~1", u"alphal~1",
                                               u"BETA",      u"beta.",     u"App3",    u"\u00e9diteur 3",
                                               u"Missing",   u"NOPE~1",    u"app1",    u"Alpha Long Name"};
    FolderForms forward, backward;
    for (const auto& name : asked)
        EXPECT_EQ(forward.of(many + name), FolderForms::single(many + name)) << to_utf8(name);
    for (auto name = asked.rbegin(); name != asked.rend(); ++name)
        EXPECT_EQ(backward.of(many + *name), FolderForms::single(many + *name)) << to_utf8(*name);

    // Past the listing, a name found in it costs nothing; a missing one its own look-up.
    FolderForms counted;
    for (const auto* name : {u"App1", u"App2", u"App3"}) counted.of(many + name);
    sim::reset_call_counts();
    for (const auto* name : {u"Tool7", u"ALPHAL~1", u"BETA", u"\u00e9diteur 3"}) counted.of(many + name);
    EXPECT_EQ(file_calls(), 0u);
    counted.of(many + u"Missing");
    EXPECT_EQ(file_calls(), 1u);
}

// The file system is asked in the spelling given, and below a name found
// under another spelling, as the folder stores it: only the names spelled
// otherwise than stored (a case-sensitive file system reads their whole
// folder to find them) cost a folder read, alone or past the listing.
TEST_F(FolderFormsTest, OnlyNamesSpelledOtherwiseThanStoredCostAFolderRead) {
    const std::u16string vendor = u"C:\\Program Files\\Vendor12\\";
    for (const auto* name : {u"App1", u"App2", u"App3", u"Tool7"}) sim::add_folder(vendor + name + u"\\Bin");
    sim::set_short_name(u"C:\\Program Files\\Vendor12", u"VENDOR~1");
    struct Case {
        std::vector<std::u16string> folders;
        std::uint64_t folder_reads;
    };
    const Case cases[] = {
        {{vendor + u"App1\\Bin\\"}, 0},
        {{vendor + u"App1\\", vendor + u"App2\\", vendor + u"App3\\", vendor + u"Tool7\\Bin\\"}, 0},
        {{vendor + u"Gone\\"}, 1},
        {{u"C:\\Program Files\\VENDOR12\\APP1\\Bin\\"}, 2},
        {{u"C:\\PROGRA~1\\Vendor12\\App1\\"}, 1},
        {{u"C:\\PROGRA~1\\VENDOR~1\\APP1\\BIN\\"}, 4},
        {{vendor + u"app1\\", vendor + u"app2\\", vendor + u"app3\\", vendor + u"tool7\\Bin\\"}, 2},
    };
    for (const auto& [folders, folder_reads] : cases) {
        FolderForms forms;
        sim::reset_call_counts();
        for (const auto& folder : folders) forms.of(folder);
        EXPECT_EQ(sim::call_counts().folder_reads, folder_reads) << to_utf8(folders.back());
    }
}

// The capture asks the file system a fraction of what one look-up per
// folder would, and still holds each source's forms, however the source
// spells it.
class KnownFolderCapture : public FolderFormsTest {};

TEST_F(KnownFolderCapture, HoldsEveryFormOfShortSpelledSourcesAndAsksLittle) {
    const std::u16string home = profile;
    sim::set_environment_variable(u"TEMP", u"C:\\Users\\LONGUS~1\\APPDAT~1\\Local\\Temp");
    sim::set_environment_variable(u"APPDATA", u"c:\\users\\longus~1\\appdata\\roaming");
    sim::set_environment_variable(u"ProgramData", u"C:\\PROGRA~3");
    sim::set_environment_variable(u"PUBLIC", u"C:\\Users\\Public\\..\\Public");
    sim::reset_call_counts();
    const auto folders = KnownFolders::capture();
    const auto captured = file_calls();

    std::set<std::u16string> sources;
    for (const auto* name : {u"TEMP", u"APPDATA", u"ProgramData", u"PUBLIC", u"USERPROFILE", u"LOCALAPPDATA"})
        sources.insert(Sys_GetEnvironmentVariable(name));
    for (const auto& folder : os::get_known_folder_paths()) sources.insert(folder);
    const std::set<std::u16string> shared(folders.shared_upper.begin(), folders.shared_upper.end());
    sim::reset_call_counts();
    for (const auto& source : sources)
        for (const auto& form : FolderForms::single(source)) EXPECT_TRUE(shared.contains(form)) << to_utf8(form);
    const auto per_folder = file_calls();
    EXPECT_TRUE(shared.contains(u"C:\\USERS\\LONG USER NAME\\APPDATA\\LOCAL\\TEMP\\"));
    EXPECT_TRUE(shared.contains(u"C:\\PROGRAMDATA\\MICROSOFT\\"));
    EXPECT_TRUE(folders.is_shared_or_above(home + u"\\APPDAT~1"));
    // A fraction of the whole-path look-ups of only some of its sources.
    EXPECT_LT(captured * 4, per_folder);
}

// A vendor's folder, how the scan's entries spell it, and its short name.
struct VendorFolder {
    const char16_t* name;
    const char16_t* spelled;
    const char16_t* short_name;
};

class ScanLookUps : public InventoryTest {
protected:
    // The file-system calls of one scan of `programs` entries, each in its
    // own folder below the vendor's.
    std::uint64_t scan_file_calls(const VendorFolder& vendor, int programs) {
        sim::reset();
        const std::u16string folder = std::u16string(u"C:\\Program Files\\") + vendor.name;
        sim::add_folder(folder);
        if (vendor.short_name) sim::set_short_name(folder, vendor.short_name);
        for (int index = 0; index < programs; ++index) {
            const auto digits = std::to_string(index);
            const auto program = u"Product " + std::u16string(digits.begin(), digits.end());
            sim::add_folder(folder + u"\\" + program);
            entry(program, {{u"DisplayName", program},
                            {u"InstallLocation", std::u16string(u"C:\\Program Files\\") + vendor.spelled + u"\\" + program},
                            {u"UninstallString", u"remove.exe"}});
        }
        list = std::make_shared<ZRB_InstalledSoftwareList>();
        sim::reset_call_counts();
        scan();
        return sim::call_counts().files;
    }
    // What each program more costs the scan.
    std::uint64_t growth(const VendorFolder& vendor) { return scan_file_calls(vendor, 25) - scan_file_calls(vendor, 5); }
};

// A vendor's folder whose name could be an 8.3 name, or lies beyond ASCII,
// is looked up once per scan: every program below it costs what one below a
// long ASCII name costs.
TEST_F(ScanLookUps, AShortVendorNameIsLookedUpOncePerScan) {
    const auto long_name = growth({u"A Vendor With A Long Name", u"A Vendor With A Long Name", nullptr});
    const VendorFolder vendors[] = {
        {u"Vendor12", u"Vendor12", nullptr},
        {u"V7", u"v7", nullptr},
        {u"Vend.io", u"Vend.io", nullptr},
        {u"M\u00fcller Software", u"M\u00fcller Software", nullptr},
        {u"Long Vendor Name", u"LONGVE~1", u"LONGVE~1"},
        {u"Tools Group", u"TOOLS", u"TOOLS"},
    };
    for (const auto& vendor : vendors) EXPECT_EQ(growth(vendor), long_name) << to_utf8(vendor.spelled);
}

// The look-ups one entry made serve the next ones: in whatever order the
// entries come, each keeps the verdict it has alone, including a name
// given as a short name without a tilde.
TEST_F(ScanLookUps, VerdictsDoNotDependOnTheEntriesBefore) {
    const std::array<std::pair<std::u16string, bool>, 5> locations = {{
        {u"C:\\Program Files\\CMN\\", false},
        {u"C:\\Program Files\\cmn\\Tool\\", true},
        {u"C:\\Program Files\\Common Files\\", false},
        {u"C:\\Program Files\\Vendor12\\", true},
        {u"C:\\Program Files\\VENDOR12\\..\\Cmn\\", false},
    }};
    std::array<std::size_t, locations.size()> order = {0, 1, 2, 3, 4};
    do {
        sim::reset();
        sim::add_folder(u"C:\\Program Files\\Common Files\\Tool");
        sim::set_short_name(u"C:\\Program Files\\Common Files", u"CMN");
        sim::add_folder(u"C:\\Program Files\\Vendor12");
        list = std::make_shared<ZRB_InstalledSoftwareList>();
        // Entries are read in the order of their names.
        std::vector<std::u16string> folders;
        for (const auto at : order) folders.push_back(locations[at].first);
        const auto named = entry_per_folder(u"Entry", folders);
        scan();
        for (std::size_t index = 0; index < named.size(); ++index)
            EXPECT_EQ(listed(named[index].first).mpu_str_InstallLocation,
                      locations[order[index]].second ? named[index].second : u"")
                << to_utf8(named[index].second);
    } while (std::next_permutation(order.begin(), order.end()));
}

}  // namespace
}  // namespace vorlix::test
