// The product rules' own steps: value cleaning, cache and UPI searches,
// version matching, fallbacks and the exact forms the patterns accept.
#include <gtest/gtest.h>

#include <string>

#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "platform/portable/utf.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

using Rule = std::u16string (ZRB_Software_Lib::*)(const std::u16string&, bool) const;
using Lib = ZRB_Software_Lib;

constexpr os::Hkey hklm = os::hkey_local_machine;
constexpr os::Hkey hkcu = os::hkey_current_user;
const std::u16string app_paths = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::u16string compatibility_store =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Store";
const std::u16string name_cache = u"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache";
const std::u16string installer_folders = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
const std::u16string upi = u"SOFTWARE\\Autodesk\\UPI";

std::u16string command_key(const std::u16string& class_name) {
    return u"SOFTWARE\\Classes\\" + class_name + u"\\shell\\open\\command";
}

class KnowledgeRules : public test::SimTest {
protected:
    std::string run(Rule rule, const std::u16string& name) const { return to_utf8((lib.*rule)(name, true)); }

    // Value names in the given order (the caches list executables by name).
    static void names(os::Hkey root, const std::u16string& key, std::initializer_list<std::u16string> list) {
        for (const std::u16string& name : list) sim::set_string(root, key, name, u"");
    }
    static void upi_texts(std::initializer_list<std::u16string> texts) {
        int index = 0;
        for (const std::u16string& text : texts) sim::set_string(hklm, upi, u"{" + to_u16(index++) + u"}", text);
    }
    static std::u16string to_u16(int number) { return from_utf8(std::to_string(number)); }

    ZRB_Software_Lib lib;
};

TEST_F(KnowledgeRules, AppPathsFolderGetsExactlyOneTrailingBackslash) {
    sim::set_string(hklm, app_paths + u"InDesign.exe", u"Path", u"C:\\Adobe\\InDesign\\");
    sim::set_string(hklm, app_paths + u"InCopy.exe", u"Path", u"  C:\\Adobe\\InCopy \t");
    sim::set_string(hklm, app_paths + u"Adobe Media Encoder.exe", u"Path", u"   ");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Adobe_InDesign, u"Adobe InDesign 2024"), "C:\\Adobe\\InDesign\\");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Adobe_InCopy, u"Adobe InCopy 2024"), "C:\\Adobe\\InCopy\\");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Adobe_MediaEncoder, u"Adobe Media Encoder 2024"), "");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Adobe_Premiere, u"Adobe Premiere Pro 2024"), "");
}

TEST_F(KnowledgeRules, AfterEffectsAndAuditionFoldersAreCleaned) {
    const Rule after_effects = &Lib::mpu_fun_InstallLocation_For_Adobe_AfterEffects;
    sim::set_string(hklm, app_paths + u"AfterFX.exe", u"Path", u"C:\\AE 2024\\Support Files");
    EXPECT_EQ(run(after_effects, u"Adobe After Effects 2024"), "C:\\AE 2024\\");
    sim::set_string(hklm, app_paths + u"AfterFX.exe", u"Path", u"C:\\AE 2024\\support files\\");
    EXPECT_EQ(run(after_effects, u"Adobe After Effects 2024"), "C:\\AE 2024\\");

    const Rule audition = &Lib::mpu_fun_InstallLocation_For_Adobe_Audition;
    sim::set_string(hklm, app_paths + u"Adobe Audition.exe", u"Path", u"\"C:\\Adobe\\Audition 2024\"");
    EXPECT_EQ(run(audition, u"Adobe Audition 2024"), "C:\\Adobe\\Audition 2024\\");
    sim::set_string(hklm, app_paths + u"Adobe Audition.exe", u"Path", u"\"C:\\Adobe\\Audition 2024\\\"");
    EXPECT_EQ(run(audition, u"Adobe Audition 2024"), "C:\\Adobe\\Audition 2024\\");
}

TEST_F(KnowledgeRules, CacheSearchTakesTheFirstQualifyingExecutableOutsideCommonFiles) {
    names(hkcu, compatibility_store,
          {u"C:\\Program Files\\COMMON FILES\\NordPass\\NordPass.exe", u"C:\\Apps\\NordPass\\nordpass.exe",
           u"C:\\Other\\NordPass\\NordPass.exe", u"C:\\Adobe Creative Cloud\\Creative Cloud.exe",
           u"C:\\Tools\\ACC\\Creative Cloud.exe", u"C:\\Adobe\\Adobe Creative Cloud\\ACC\\Creative Cloud.exe"});
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_NordPass, u"NordPass"), "C:\\Apps\\NordPass\\");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_Bitwarden, u"Bitwarden"), "");
    // Creative Cloud also needs the product words in the path.
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Adobe_CreateCloud, u"Adobe Creative Cloud"),
              "C:\\Adobe\\Adobe Creative Cloud\\");
}

TEST_F(KnowledgeRules, DaVinciResolveFallsBackToItsOpenCommandOnly) {
    const Rule resolve = &Lib::mpu_fun_InstallLocation_For_BlackmagicDesign_DaVinciResolve;
    sim::set_string(hkcu, command_key(u"ResolveBinFile"), u"", u"\"C:\\BMD\\Resolve.exe\" \"%1\"");
    EXPECT_EQ(run(resolve, u"DaVinci Resolve"), "\"C:\\BMD\\Resolve.exe\"");
    names(hkcu, name_cache, {u"C:\\Program Files\\Common Files\\BMD\\Resolve.exe.FriendlyAppName",
                             u"C:\\Cache\\Resolve\\Resolve.exe.FriendlyAppName"});
    EXPECT_EQ(run(resolve, u"DaVinci Resolve"), "C:\\Cache\\Resolve\\");
}

TEST_F(KnowledgeRules, SodaSearchesTheStoreWhenTheCommandHoldsOnlyRemovedParts) {
    sim::set_string(hklm, command_key(u"soda"), u"", u"soda.exe --command --url-protocol \"%1\"");
    names(hkcu, compatibility_store, {u"C:\\Soda PDF\\SODA.EXE"});
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_SodaPDFDesktop, u"Soda PDF Desktop 14"), "C:\\Soda PDF\\");
}

TEST_F(KnowledgeRules, InventorTakesTheUpiTextOfItsOwnVersion) {
    upi_texts({u"C:\\Autodesk\\Inventor 2023\\Bin\\INVRO\\UPI\\UPI.dll",
               u"C:\\Autodesk\\Inventor 2024\\Bin\\INVRO\\UPI\\UPI.dll"});
    const Rule inventor = &Lib::mpu_fun_InstallLocation_For_Autodesk_Inventor;
    EXPECT_EQ(run(inventor, u"Autodesk Inventor Professional 2024"), "C:\\Autodesk\\Inventor 2024\\");
    EXPECT_EQ(run(inventor, u"Autodesk Inventor Professional"), "C:\\Autodesk\\Inventor 2023\\");
    EXPECT_EQ(run(inventor, u"Autodesk Inventor Professional 2025"), "");
}

TEST_F(KnowledgeRules, AutoCADTrustsInventorServerOnlyOfItsOwnVersion) {
    sim::set_string(hklm, u"SOFTWARE\\Autodesk\\Inventor Server for AutoCAD\\Current Version", u"Executable",
                    u"C:\\Autodesk\\AutoCAD 2023\\Inventor Server\\Bin\\RegisterInventorServer.exe");
    upi_texts({u"C:\\Autodesk\\AutoCAD 2023\\C3D\\UPI\\UPI.dll", u"C:\\Autodesk\\AutoCAD 2024\\ACAOE\\UPI\\UPI.dll"});
    const Rule autocad = &Lib::mpu_fun_InstallLocation_For_Autodesk_AutoCAD;
    EXPECT_EQ(run(autocad, u"Autodesk AutoCAD 2024 - English"), "C:\\Autodesk\\AutoCAD 2024\\");
    EXPECT_EQ(run(autocad, u"Autodesk AutoCAD 2023 - English"), "C:\\Autodesk\\AutoCAD 2023\\");
    EXPECT_EQ(run(autocad, u"Autodesk AutoCAD Mechanical"), "C:\\Autodesk\\AutoCAD 2023\\");
}

TEST_F(KnowledgeRules, AutoCADLTStopsAtTheFirstQualifyingTextThenSearchesItsVersion) {
    const Rule autocad = &Lib::mpu_fun_InstallLocation_For_Autodesk_AutoCAD;
    upi_texts({u"C:\\Older\\AutoCAD LT 2023\\Help\\readme.txt", u"C:\\Old\\AutoCAD LT 2024 Beta\\Help\\readme.txt",
               u"C:\\Skip\\AutoCAD LT 2024\\Setup\\UPI.dll", u"D:\\AutoCAD LT 2024\\UPI\\UPI.dll",
               u"C:\\New\\AutoCAD LT 2024\\UPI\\UPI.dll"});
    EXPECT_EQ(run(autocad, u"Autodesk AutoCAD LT 2024 - English"), "C:\\Old\\AutoCAD LT 2024 Beta\\");

    sim::reset();
    upi_texts({u"C:\\Old\\AutoCAD LT 2023\\UPI\\UPI.dll", u"C:\\New\\AutoCAD LT 2024\\UPI\\UPI.dll"});
    EXPECT_EQ(run(autocad, u"Autodesk AutoCAD LT 2024 - English"), "C:\\New\\AutoCAD LT 2024\\");
    EXPECT_EQ(run(autocad, u"Autodesk AutoCAD LT"), "C:\\Old\\AutoCAD LT 2023\\");
    // Another release's or the LT product's folder is never handed to a program it does not belong to.
    EXPECT_EQ(run(autocad, u"Autodesk AutoCAD LT 2025 - English"), "");
    EXPECT_EQ(run(autocad, u"Autodesk AutoCAD 2024 - English"), "");
}

TEST_F(KnowledgeRules, ThreeDsMaxFallsBackToTheInstallerFolderList) {
    const Rule max = &Lib::mpu_fun_InstallLocation_For_Autodesk_3dsMax;
    names(hklm, installer_folders, {u"C:\\Autodesk\\", u"C:\\Autodesk\\3ds Max 2024\\AMG\\Config\\"});
    EXPECT_EQ(run(max, u"Autodesk 3ds Max 2024"), "C:\\Autodesk\\3ds Max 2024\\");
    sim::set_string(hklm, u"SOFTWARE\\Autodesk\\3dsMax\\Current Version", u"Executable", u" C:\\Max\\3dsmax.exe ");
    EXPECT_EQ(run(max, u"Autodesk 3ds Max 2024"), "C:\\Max\\3dsmax.exe");
}

TEST_F(KnowledgeRules, FusionCommandMustHaveTheExactQuotedForm) {
    const Rule fusion = &Lib::mpu_fun_InstallLocation_For_Autodesk_Fusion360;
    const std::u16string key = command_key(u"fusion360");
    sim::set_string(hkcu, key, u"", u"C:\\AD\\webdeploy\\production\\abc\\NLauncher.exe \"%1\"");
    EXPECT_EQ(run(fusion, u"Autodesk Fusion 360"), "");
    sim::set_string(hkcu, key, u"", u"\"C:\\AD\\webdeploy\\old\\webdeploy\\production\\abc\\NLauncher.exe\" \"%1\"");
    EXPECT_EQ(run(fusion, u"Autodesk Fusion 360"), "C:\\AD\\webdeploy\\old\\webdeploy\\");
}

TEST_F(KnowledgeRules, SecondVendorKeyIsReadOnlyWhenTheFirstIsEmpty) {
    sim::set_string(hklm, u"SOFTWARE\\WOW6432Node\\Nextcloud GmbH\\Nextcloud", u"", u"C:\\Nextcloud x86");
    sim::set_string(hklm, u"SOFTWARE\\Nextcloud GmbH\\Nextcloud", u"", u"  ");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_Nextcloud, u"Nextcloud"), "C:\\Nextcloud x86");
    sim::set_string(hklm, u"SOFTWARE\\Nextcloud GmbH\\Nextcloud", u"", u"C:\\Nextcloud");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_Nextcloud, u"Nextcloud"), "C:\\Nextcloud");

    sim::set_string(hklm, u"SOFTWARE\\WOW6432Node\\DxO\\Nik Collection", u"InstallPath", u"C:\\Nik x86\\bin");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_NikCollection, u"Nik Collection"), "C:\\Nik x86\\");
    // Every "bin" goes, wherever it stands.
    sim::set_string(hklm, u"SOFTWARE\\DxO\\Nik Collection", u"InstallPath", u"C:\\Bin\\Nik\\bin");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_NikCollection, u"Nik Collection"), "C:\\\\Nik\\");
}

TEST_F(KnowledgeRules, ProductWordRulesWantTheWholeName) {
    sim::set_string(hklm, command_key(u"canva"), u"", u"\"C:\\Canva\\Canva.exe\" \"%1\"");
    sim::set_string(hkcu, u"SOFTWARE\\Zero Install", u"InstallLocation", u"C:\\DeepL\\");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_Canva, u"canva"), "\"C:\\Canva\\\"");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_Canva, u"Canva 1.78"), "");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_DeepL, u"DEEPL"), "C:\\DeepL\\");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Other_DeepL, u" DeepL"), "");
}

TEST_F(KnowledgeRules, SyncTestsTheWorkerRightBehindTheListedFolder) {
    const Rule sync = &Lib::mpu_fun_InstallLocation_For_Other_Sync;
    names(hklm, installer_folders, {u"C:\\Apps\\Sync", u"C:\\Tools\\Sync\\"});
    sim::add_file(u"C:\\Apps\\Sync\\sync-worker.exe");
    EXPECT_EQ(run(sync, u"Sync"), "");
    sim::add_folder(u"C:\\Tools\\Sync\\sync-worker.exe");
    EXPECT_EQ(run(sync, u"Sync"), "");
    sim::add_file(u"C:\\Apps\\Syncsync-worker.exe");
    EXPECT_EQ(run(sync, u"Sync"), "C:\\Apps\\Sync");
}

TEST_F(KnowledgeRules, CharacterAnimatorPrefersTypedPathsThenNumberedProjectClass) {
    const Rule animator = &Lib::mpu_fun_InstallLocation_For_Adobe_CharacterAnimtor;
    for (const std::u16string suffix : {u"", u".0", u".12"}) {
        sim::set_string(hklm, command_key(u"Adobe.CharacterAnimator.Project" + suffix), u"",
                        u"\"C:\\CA" + suffix + u"\\Support Files\\Character Animator.exe\" \"%1\"");
    }
    EXPECT_EQ(run(animator, u"Adobe Character Animator 2024"), "\"C:\\CA.12\\\"");
    sim::set_string(hkcu, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths", u"url1",
                    u" D:\\adobe character animator 2024 ");
    EXPECT_EQ(run(animator, u"Adobe Character Animator 2024"), "D:\\adobe character animator 2024\\");
}

TEST_F(KnowledgeRules, AffinityReadsTheClassOfItsGeneration) {
    sim::set_string(hklm, command_key(u"Affinity.Photo 2"), u"", u"\"C:\\Affinity\\Photo 2\\Photo.exe\" \"%1\"");
    sim::set_string(hklm, command_key(u"Affinity.Photo"), u"", u"\"C:\\Affinity\\Photo\\Photo.exe\" \"%1\"");
    const Rule photo = &Lib::mpu_fun_InstallLocation_For_Affinity_Photo;
    EXPECT_EQ(run(photo, u"affinity photo 2"), "\"C:\\Affinity\\Photo 2\\\"");
    EXPECT_EQ(run(photo, u"Affinity Photo"), "\"C:\\Affinity\\Photo\\\"");
    EXPECT_EQ(run(&Lib::mpu_fun_InstallLocation_For_Affinity_Designer, u"Affinity Photo 2"), "");
}

}  // namespace
}  // namespace vorlix
