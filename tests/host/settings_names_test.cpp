// The names a program's settings are looked for by: what is cut from display
// names and publishers, and which names are never taken as anyone's own.
#include <gtest/gtest.h>

#include <string>

#include "inventory/known_folders.h"
#include "leftovers/settings_names.h"
#include "platform/portable/utf.h"
#include "support/sim_test.h"

namespace vorlix::test {
namespace {

struct Cut {
    std::u16string given;
    std::u16string bare;
};

TEST(SettingsNames, DisplayNamesLoseTheirTrailingVersionArchitectureAndLanguage) {
    for (const auto& [given, bare] : {Cut{u"Quillpad version 2.3.1", u"Quillpad"}, Cut{u"Tool 4.2 (x64)", u"Tool"},
                                      Cut{u"Tool en-US", u"Tool"}, Cut{u"Tool Pro v10 - 64-bit", u"Tool Pro"},
                                      Cut{u"Tool (de-DE) 2.0", u"Tool"}, Cut{u"Game Co-Op", u"Game Co-Op"},
                                      Cut{u"Paint 3D", u"Paint 3D"}, Cut{u"Version Control", u"Version Control"},
                                      Cut{u"2048", u"2048"}, Cut{u"Tool 1..2", u"Tool 1..2"}})
        EXPECT_EQ(to_utf8(bare_display_name(given)), to_utf8(bare)) << to_utf8(given);
}

TEST(SettingsNames, PublishersLoseTheirLegalForm) {
    for (const auto& [given, bare] :
         {Cut{u"Quill Labs, Inc.", u"Quill Labs"}, Cut{u"Acme Co., Ltd.", u"Acme"}, Cut{u"Werk GmbH & Co. KG", u"Werk"},
          Cut{u"Acme Corporation", u"Acme"}, Cut{u"Banco S.A.", u"Banco"}, Cut{u"Inc", u"Inc"},
          Cut{u"Coworks", u"Coworks"}, Cut{u"Acme LLC.", u"Acme"}})
        EXPECT_EQ(to_utf8(bare_publisher(given)), to_utf8(bare)) << to_utf8(given);
}

class SettingsNameRules : public SimTest {};

TEST_F(SettingsNameRules, OnlyTellingNamesStandForAProgram) {
    const auto known = KnownFolders::capture();
    const NameRules rules(known);
    for (const auto* name : {u"Quillpad", u"Tool", u"Tool Pro", u"Éclair"})
        EXPECT_TRUE(rules.is_telling(name)) << to_utf8(name);
    // Short, generic, a folder Windows or the shell knows, or no single path component.
    for (const auto* name : {u"Ink", u"", u"updates", u"Microsoft", u"Common Files", u"Documents", u"Credentials",
                             u"user", u"Tool\\Pro", u"..\\Tool", u"To*l", u"Tool.", u" Tool"})
        EXPECT_FALSE(rules.is_telling(name)) << to_utf8(name);
}

TEST_F(SettingsNameRules, NamesComeFromTheRecordAndVendorsFromItsPublisherAndFolder) {
    const auto known = KnownFolders::capture();
    const NameRules rules(known);
    ZRB_InstalledSoftware record;
    record.mpu_str_Name = u"Quillpad version 2.3.1";
    record.mpu_str_Publisher = u"Quill Labs, Inc.";
    record.mpu_str_InstallLocation = u"C:\\Program Files (x86)\\QL\\Quill\\";
    record.mpu_str_InstallRegPath = u"HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuillpadSetup_is1";
    auto names = rules.names_of(record);
    EXPECT_EQ(names.names, (StringList{u"Quillpad", u"Quill", u"QuillpadSetup"}));
    EXPECT_EQ(names.vendors, (StringList{u"QL", u"Quill Labs"}));

    // Directly below Program Files there is no vendor folder; a GUID key names nothing.
    record.mpu_str_InstallLocation = u"C:\\Program Files\\QUILLPAD";
    record.mpu_str_InstallRegPath = u"HKLM|SOFTWARE\\Uninstall\\{7B1E2C3D-4A5F-4B6C-9D8E-0F1A2B3C4D5E}_is1";
    names = rules.names_of(record);
    EXPECT_EQ(names.names, (StringList{u"Quillpad"}));
    EXPECT_EQ(names.vendors, (StringList{u"Quill Labs"}));
}

}  // namespace
}  // namespace vorlix::test
