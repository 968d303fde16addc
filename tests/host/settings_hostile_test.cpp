// The program's settings beyond its install folder, claimed by exact names
// only: on machines where a name-based search would take what is someone
// else's, the whole cycle keeps everything that was there before the program
// came, and takes what the program itself left.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <utility>
#include <vector>

#include "app/registry_entry.h"
#include "hostile_support.h"

namespace vorlix::test {
namespace {

constexpr auto hkcu = os::hkey_current_user;
constexpr auto hklm = os::hkey_local_machine;
const std::u16string profile = u"C:\\Users\\user\\";
const std::u16string roaming = profile + u"AppData\\Roaming\\";
const std::u16string local = profile + u"AppData\\Local\\";
const std::u16string local_low = profile + u"AppData\\LocalLow\\";
const std::u16string program_data = u"C:\\ProgramData\\";

// A program of the inventory with a file in its folder.
void program(const std::u16string& name, const std::u16string& publisher, const std::u16string& location) {
    sim::add_file(location + u"\\app.exe");
    for (const auto& [value, text] : {std::pair{u"DisplayName", name}, std::pair{u"Publisher", publisher},
                                      std::pair{u"InstallLocation", location},
                                      std::pair{u"UninstallString", location + u"\\uninst.exe"}})
        sim::set_string(hklm, uninstall_key + name, value, text);
}

// Settings as a program leaves them: a folder with a file, a key with a value.
void settings_folder(const std::u16string& folder) { sim::add_file(folder + u"\\settings.ini"); }
void settings_key(os::Hkey root, const std::u16string& key) {
    sim::set_string(root, key + u"\\Recent", u"1", u"a.txt");
}
// Both, under the same relative name: below the folder and below HKCU\Software.
void settings(const std::u16string& folder, const std::u16string& name) {
    settings_folder(folder + name);
    settings_key(hkcu, u"Software\\" + name);
}

// A program of the vendor in Program Files\<vendor>\<folder>, used: its settings folder and key.
void used(const std::u16string& vendor, const std::u16string& folder, const std::u16string& name = {}) {
    program(name.empty() ? folder : name, vendor, u"C:\\Program Files\\" + vendor + u"\\" + folder);
    settings(roaming, vendor + u"\\" + folder);
}

bool exists(const std::u16string& item) {
    const auto entry = parse_registry_entry(item);
    return entry ? registry_entry_exists(*entry, true) : sim::path_exists(item);
}

struct SettingsCase {
    const char* name;
    // What is not the program's: all of it must still be there afterwards.
    std::function<void()> others;
    // The program and what it leaves itself.
    std::function<void()> own;
    std::u16string uninstalled;
    // Folders and "ROOT|key" entries that must be gone.
    std::vector<std::u16string> gone;
};

void PrintTo(const SettingsCase& one, std::ostream* out) { *out << one.name; }

// Quillpad by Quill Labs, alone, then with its settings in the profile and the registry.
void quillpad_program() { program(u"Quillpad", u"Quill Labs, Inc.", u"C:\\Program Files\\Quill Labs\\Quillpad"); }
void quillpad() {
    quillpad_program();
    settings_folder(roaming + u"Quill Labs\\Quillpad");
    settings_folder(local + u"Quill Labs\\Quillpad\\Cache");
    settings_folder(local_low + u"Quill Labs\\Quillpad");
    settings_folder(program_data + u"Quillpad");
    settings_key(hkcu, u"Software\\Quill Labs\\Quillpad");
}
const std::vector<std::u16string> quillpad_gone{roaming + u"Quill Labs\\Quillpad", local + u"Quill Labs\\Quillpad",
                                                local_low + u"Quill Labs\\Quillpad", program_data + u"Quillpad",
                                                u"HKCU|Software\\Quill Labs\\Quillpad"};

// A program whose name tells nothing of whose a folder is: the settings of that name are someone else's.
SettingsCase untelling(const char* name, const std::u16string& folder, const std::u16string& program_name) {
    return {name, [=] { settings(folder, program_name); },
            [=] { program(program_name, u"Makers", u"C:\\Program Files\\" + program_name); }, program_name, {}};
}

const SettingsCase cases[] = {
    {"AloneItsVendorsFolderAndKeyGoToo", [] {}, quillpad, u"Quillpad",
     {roaming + u"Quill Labs", local + u"Quill Labs", local_low + u"Quill Labs", u"HKCU|Software\\Quill Labs"}},
    {"ToolLeavesToolPro", [] { used(u"Acme", u"Tool Pro"); }, [] { used(u"Acme", u"Tool"); }, u"Tool",
     {roaming + u"Acme\\Tool", u"HKCU|Software\\Acme\\Tool"}},
    {"ToolProLeavesTool", [] { used(u"Acme", u"Tool"); }, [] { used(u"Acme", u"Tool Pro", u"Tool Pro 2.1 (x64)"); },
     u"Tool Pro 2.1 (x64)", {roaming + u"Acme\\Tool Pro", u"HKCU|Software\\Acme\\Tool Pro"}},
    {"NamedLikeItsVendorKeepsTheVendorsOtherData",
     [] { settings(roaming, u"Acme\\Other"); },
     [] {
         program(u"Acme", u"Acme Corporation", u"C:\\Program Files\\Acme");
         settings(roaming, u"Acme\\Acme");
     },
     u"Acme", {roaming + u"Acme\\Acme", u"HKCU|Software\\Acme\\Acme"}},
    untelling("NameOfAFolderWindowsKeeps", roaming, u"Credentials"),
    {"VendorFolderHoldingAnotherVendorsProduct",
     [] {
         program(u"Gizmo", u"Beta Works", u"C:\\Program Files\\Beta Works\\Gizmo");
         settings(roaming, u"Acme\\Gizmo");
     },
     [] { used(u"Acme", u"Sketcher"); }, u"Sketcher", {roaming + u"Acme\\Sketcher", u"HKCU|Software\\Acme\\Sketcher"}},
    {"UsersOwnFolderUnderDocuments", [] { sim::add_file(profile + u"Documents\\Quillpad\\novel.txt"); }, quillpad,
     u"Quillpad", quillpad_gone},
    untelling("NameShorterThanFourCharacters", roaming, u"Ink"),
    untelling("GenericName", local, u"Updates"),
    {"NameAnotherProgramAnswersTo",
     [] {
         program(u"Quill Reader", u"Readers", u"C:\\Program Files\\Readers\\Quillpad");
         settings(roaming, u"Quillpad");
     },
     quillpad_program, u"Quillpad", {}},
    {"FolderHoldingAnotherProgram", [] { program(u"Viewer", u"Viewers", roaming + u"Quillpad\\Viewer"); },
     [] {
         program(u"Quillpad", u"Quill Labs", u"C:\\Program Files\\Quill Labs\\Quillpad");
         settings_folder(roaming + u"Quillpad");
     },
     u"Quillpad", {}},
    {"FolderThatIsALink",
     [] {
         sim::add_file(profile + u"Documents\\letter.txt");
         sim::add_junction(roaming + u"Quillpad", profile + u"Documents");
     },
     quillpad_program, u"Quillpad", {}},
    {"KeyThatIsALink",
     [] {
         settings_key(hklm, u"SOFTWARE\\Other");
         sim::create_link(hklm, u"SOFTWARE\\Quillpad", u"\\Registry\\Machine\\SOFTWARE\\Other");
     },
     quillpad_program, u"Quillpad", {}},
    {"VendorKeyWithAValueOfItsOwn", [] { sim::set_string(hkcu, u"Software\\Quill Labs", u"License", u"ABCD"); },
     quillpad, u"Quillpad", quillpad_gone},
};

class HostileSettings : public HostileMachineTest, public ::testing::WithParamInterface<SettingsCase> {
protected:
    void furnish() override {}
};

TEST_P(HostileSettings, KeepsWhatIsNotTheProgramsAndTakesItsOwn) {
    const auto& one = GetParam();
    one.others();
    before_install = MachineSnapshot::take();
    one.own();
    uninstall(one.uninstalled);
    expect_nothing_outside_lost();
    for (const auto& item : one.gone) EXPECT_FALSE(exists(item)) << to_utf8(item);
}

INSTANTIATE_TEST_SUITE_P(Table, HostileSettings, ::testing::ValuesIn(cases),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace vorlix::test
