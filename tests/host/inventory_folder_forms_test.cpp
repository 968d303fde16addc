// The forms of many folders in a row: the same as asking GetLongPathNameW
// folder by folder, with each folder below an already resolved one looked up
// once; and the known-folder capture built on them.
#include <gtest/gtest.h>

#include <set>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "inventory/folder_forms.h"
#include "inventory/known_folders.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
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

}  // namespace
}  // namespace vorlix::test
