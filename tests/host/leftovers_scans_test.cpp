// The fourteen registry scans, each on a fixture with entries that must be
// found and look-alike entries of the neighbour in C:\Apps\ToolBox that must
// not, and their order within one analysis.
#include <gmock/gmock.h>

#include "leftovers_test_support.h"

namespace vorlix::test::analysis {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

const std::u16string classes = u"SOFTWARE\\Classes\\";
const std::u16string user_data = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\";
const std::u16string current_version = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
const std::u16string user = u"S-1-5-21-0-0-0-1000";

// The two scans of the program's Run values, each on a reading of its own.
void startup_approval(const LeftoverScanContext& context) { scan_startup_approval(context, program_run_values(context)); }
void run_entries(const LeftoverScanContext& context) { scan_run_entries(context, program_run_values(context)); }

class LeftoverScansTest : public AnalysisTest {
protected:
    const ZRB_InstalledSoftware* tool = nullptr;

    void SetUp() override {
        AnalysisTest::SetUp();
        install_tool();
        load("classes.reg");
        load("installer.reg");
        load("user.reg");
        add_tool();
        analyse(u"Tool");
        tool = list->find(u"tool");
    }

    StringList scan(void (*run)(const LeftoverScanContext&)) const { return run_scan(run, *tool); }
};

TEST_F(LeftoverScansTest, MachineFileClassesAndTheirExtensions) {
    EXPECT_THAT(scan(scan_machine_file_classes),
                ElementsAre(u"HKLM|" + classes + u"Tool.Document", u"HKLM|" + classes + u"Tool.Icon",
                            u"HKLM|" + classes + u".tdc2", u"HKLM|" + classes + u".tdoc",
                            u"HKLM|SOFTWARE\\Wow6432Node\\Classes\\Tool.Legacy",
                            u"HKLM|SOFTWARE\\Wow6432Node\\Classes\\.tleg"));
}

TEST_F(LeftoverScansTest, UserFileClassesWithoutTheirExtensions) {
    EXPECT_THAT(scan(scan_user_file_classes), ElementsAre(u"HKCU|" + classes + u"Tool.UserDoc"));
}

TEST_F(LeftoverScansTest, InstallerFoldersAndSharedDlls) {
    const auto folders = u"HKLM|" + current_version + u"Installer\\Folders|";
    const auto shared = u"HKLM|" + current_version + u"SharedDLLs|";
    EXPECT_THAT(scan(scan_installer_folders),
                ElementsAre(folders + u"C:\\Apps\\Tool\\", folders + u"C:\\Apps\\Tool\\bin\\",
                            shared + u"C:\\Apps\\Tool\\helper.dll", shared + u"C:\\APPS\\TOOL~1\\shell.ocx",
                            u"HKLM|SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs|"
                            u"C:\\Apps\\Tool\\bin\\worker.dll"));
}

TEST_F(LeftoverScansTest, ComClassesInterfacesAndTheExtensionsThatUseThem) {
    const auto clsid = u"HKLM|" + classes + u"CLSID\\{22222222-0000-0000-0000-00000000000";
    const auto interface_key = u"HKLM|" + classes + u"Interface\\{33333333-0000-0000-0000-00000000000";
    EXPECT_THAT(scan(scan_com_classes),
                ElementsAre(u"HKLM|" + classes + u"TypeLib\\{11111111-0000-0000-0000-00000000000A}",
                            clsid + u"1}", u"HKLM|" + classes + u"Tool.Helper.1",  // the ProgID's own key
                            // not 2: a server named without its folder proves nothing
                            clsid + u"3}",                                          // through the type library
                            clsid + u"6}",                                          // an empty ProgID names nothing
                            u"HKLM|" + classes + u"Wow6432Node\\CLSID\\{22222222-0000-0000-0000-000000000007}",
                            u"HKLM|" + classes + u"Wow6432Node\\Tool.Worker.1",
                            interface_key + u"1}",  // once, though its type library is the program's too
                            interface_key + u"2}",
                            u"HKLM|" + current_version +
                                u"Shell Extensions\\Approved|{22222222-0000-0000-0000-000000000001}",
                            u"HKLM|" + current_version +
                                u"Explorer\\Browser Helper Objects\\{22222222-0000-0000-0000-000000000003}"));
}

TEST_F(LeftoverScansTest, InstallerProductsWithTheirPatchesAndComponents) {
    const auto product = u"HKLM|" + user_data + u"Products\\A100000000000000000000000000000";
    EXPECT_THAT(scan(scan_installer_products),
                ElementsAre(product + u"1", product + u"1",  // by location, then by uninstall command
                            u"HKLM|" + user_data + u"Patches\\B1000000000000000000000000000001",
                            u"HKLM|" + user_data + u"Components\\C1000000000000000000000000000001",
                            product + u"2"));  // no uninstall command: no patches, no components
}

TEST_F(LeftoverScansTest, InstallerComponentsByKeyPath) {
    const auto component = u"HKLM|" + user_data + u"Components\\C100000000000000000000000000000";
    EXPECT_THAT(scan(scan_installer_components),
                ElementsAre(component + u"1", u"HKLM|" + user_data + u"Products\\A1000000000000000000000000000001",
                            component + u"2", u"HKLM|" + user_data + u"Products\\A1000000000000000000000000000009",
                            // shared: each value alone, and no product through it
                            component + u"3|A1000000000000000000000000000007",
                            component + u"3|A1000000000000000000000000000008", component + u"5"));
}

TEST_F(LeftoverScansTest, CompatibilityLayersOfEveryUser) {
    const std::u16string layers = u"\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers|";
    EXPECT_THAT(scan(scan_compatibility_layers),
                UnorderedElementsAre(u"HKU|" + user + layers + u"C:\\Apps\\Tool\\app.exe",
                                     u"HKU|.DEFAULT" + layers + u"C:\\Apps\\Tool\\tool.exe"));
}

TEST_F(LeftoverScansTest, MuiCachesOfTheUserTheMachineAndEveryUser) {
    const std::u16string cache = u"Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache\\|";
    EXPECT_THAT(scan(scan_mui_caches),
                ElementsAre(u"HKCU|" + cache + u"C:\\Apps\\Tool\\app.exe.FriendlyAppName",
                            u"HKLM|" + cache + u"C:\\Apps\\Tool\\tool.exe.ApplicationCompany",
                            u"HKU|" + user + u"\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache\\|"
                                             u"C:\\Apps\\Tool\\bin\\worker.exe"));
}

TEST_F(LeftoverScansTest, SharedComponentsBesideOthersGiveOnlyTheProgramsValues) {
    const std::u16string settings = u"HKCU|Software\\Shared Components\\Tool Common\\Settings|";
    EXPECT_THAT(scan(scan_shared_components), ElementsAre(settings + u"Path", settings + u"Other"));
}

TEST_F(LeftoverScansTest, FeatureUsageAndCompatibilityAssistant) {
    const auto usage = u"HKCU|" + current_version + u"Explorer\\FeatureUsage\\";
    EXPECT_THAT(scan(scan_feature_usage), ElementsAre(usage + u"AppSwitched|C:\\Apps\\Tool\\app.exe",
                                                      usage + u"AppLaunch|C:\\Apps\\Tool\\tool.exe"));
    EXPECT_THAT(scan(scan_compatibility_assistant),
                ElementsAre(u"HKCU|SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
                            u"Assistant\\Store|C:\\Apps\\Tool\\unins000.exe"));
}

// Approvals named after a binary ("Tool", "APP.EXE") but after no Run value of the program are not its own,
// nor is the 32-bit list's approval named after a Run value of the 64-bit branch ("ToolAgent").
TEST_F(LeftoverScansTest, StartupApprovalOnlyBesideTheProgramsRunValueOfThatName) {
    const auto approved = current_version + u"Explorer\\StartupApproved\\";
    EXPECT_THAT(scan(startup_approval),
                ElementsAre(u"HKCU|" + approved + u"Run|toolTray ", u"HKLM|" + approved + u"Run32|ToolAgent32"));
}

TEST_F(LeftoverScansTest, ElevationPoliciesAndRunEntries) {
    EXPECT_THAT(scan(scan_elevation_policies),
                ElementsAre(u"HKLM|SOFTWARE\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\"
                            u"{44444444-0000-0000-0000-000000000001}"));
    EXPECT_THAT(scan(run_entries),
                ElementsAre(u"HKLM|" + current_version + u"Run|ToolAgent",
                            u"HKLM|SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run|ToolAgent32",
                            u"HKCU|" + current_version + u"Run|ToolTray"));
}

TEST_F(LeftoverScansTest, AFindingNamesExactlyTheValueThatWasTested) {
    // The program's value is blank-padded; the neighbour's carries the trimmed name.
    const auto run = current_version + u"Run";
    sim::set_string(os::hkey_current_user, run, u" Agent ", u"C:\\Apps\\Tool\\app.exe");
    sim::set_string(os::hkey_current_user, run, u"Agent", u"C:\\Apps\\ToolBox\\box.exe");
    sim::set_string(os::hkey_current_user, current_version + u"Explorer\\FeatureUsage\\AppLaunch",
                    u" C:\\Apps\\Tool\\bin\\worker.exe", u"");
    EXPECT_THAT(scan(run_entries), Contains(u"HKCU|" + run + u"| Agent "));
    EXPECT_THAT(scan(run_entries), Not(Contains(u"HKCU|" + run + u"|Agent")));
    EXPECT_THAT(scan(scan_feature_usage),
                Contains(u"HKCU|" + current_version + u"Explorer\\FeatureUsage\\AppLaunch| C:\\Apps\\Tool\\bin\\worker.exe"));
}

TEST_F(LeftoverScansTest, TheAnalysisRunsTheScansInOrderAfterTheUninstallKey) {
    StringList expected{u"HKLM|" + uninstall_root + u"Tool"};
    for (const auto run : {scan_machine_file_classes, scan_user_file_classes, scan_installer_folders, scan_com_classes,
                           scan_installer_products, scan_installer_components, scan_compatibility_layers,
                           scan_mui_caches, scan_shared_components, scan_feature_usage, scan_compatibility_assistant,
                           startup_approval, scan_elevation_policies, run_entries}) {
        const auto found = scan(run);
        EXPECT_FALSE(found.empty());
        expected.insert(expected.end(), found.begin(), found.end());
    }
    EXPECT_THAT(paths_of(ReportKind::reg_count), ElementsAreArray(expected));
}

TEST_F(LeftoverScansTest, NothingOfTheNeighbourIsClaimed) {
    for (const auto& finding : tool->mpu_SDLarry_Registry) {
        EXPECT_THAT(to_utf8(finding), Not(HasSubstr("ToolBox"))) << to_utf8(finding);
        EXPECT_THAT(to_utf8(finding), Not(HasSubstr("Box"))) << to_utf8(finding);
        EXPECT_THAT(to_utf8(finding), Not(HasSubstr("Near"))) << to_utf8(finding);
    }
}

TEST_F(LeftoverScansTest, TheNeighbourClaimsItsOwnAndNothingOfTool) {
    reports.clear();
    add_program(u"ToolBox", u"C:\\Apps\\ToolBox");
    analyse(u"ToolBox");
    for (const auto& finding : list->find(u"toolbox")->mpu_SDLarry_Registry)
        EXPECT_THAT(to_utf8(finding), Not(HasSubstr("Tool\\"))) << to_utf8(finding);
    EXPECT_THAT(list->find(u"toolbox")->mpu_SDLarry_Registry,
                Contains(u"HKLM|" + current_version + u"Run|BoxAgent"));
}

}  // namespace
}  // namespace vorlix::test::analysis
