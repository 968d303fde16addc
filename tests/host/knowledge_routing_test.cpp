// Routing of Uninstall entries through the product table, on a machine made
// from the knowledge-base fixtures: every product, its guard, its trigger and
// its rule's own name test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "knowledge_test_support.h"
#include "platform/portable/utf.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

using Rule = std::u16string (ZRB_Software_Lib::*)(const std::u16string&, bool) const;
using Lib = ZRB_Software_Lib;

// One product of each kind of rule and routing row.
struct Product {
    std::u16string name;   // display name of the fixture's Uninstall entry
    std::u16string guard;  // a location holding this word is trusted; empty: none
    Rule rule;
    std::u16string found;  // what the rule finds on the fixture machine
};

const std::vector<Product>& products() {
    static const std::vector<Product> table = {
        // an App Paths value
        {u"Adobe Premiere Pro 2024", u"Adobe Premiere Pro", &Lib::mpu_fun_InstallLocation_For_Adobe_Premiere,
         u"C:\\Program Files\\Adobe\\Adobe Premiere Pro 2024\\"},
        // no name test of its own, the installer folders as fallback
        {u"Autodesk 3ds Max 2024", u"3ds Max", &Lib::mpu_fun_InstallLocation_For_Autodesk_3dsMax,
         u"C:\\Program Files\\Autodesk\\3ds Max 2024\\"},
        // no name test of its own
        {u"Autodesk Maya 2024", u"Maya", &Lib::mpu_fun_InstallLocation_For_Autodesk_Maya,
         u"C:\\Program Files\\Autodesk\\Maya2024\\"},
        // the UPI list
        {u"Autodesk AutoCAD 2024 - English", u"AutoCAD", &Lib::mpu_fun_InstallLocation_For_Autodesk_AutoCAD,
         u"C:\\Program Files\\Autodesk\\AutoCAD 2024\\"},
        // a row without guard
        {u"Autodesk Civil 3D 2024 - English", u"", &Lib::mpu_fun_InstallLocation_For_Autodesk_Civil3D,
         u"C:\\Program Files\\Autodesk\\AutoCAD 2024\\"},
        // a guard word that is not the name
        {u"Autodesk Fusion 360", u"webdeploy", &Lib::mpu_fun_InstallLocation_For_Autodesk_Fusion360,
         u"C:\\Users\\user\\AppData\\Local\\Autodesk\\webdeploy\\"},
        // an open command, then the name cache
        {u"DaVinci Resolve", u"DaVinci Resolve", &Lib::mpu_fun_InstallLocation_For_BlackmagicDesign_DaVinciResolve,
         u"C:\\Program Files\\Blackmagic Design\\DaVinci Resolve\\"},
        // the compatibility store
        {u"NordPass", u"NordPass", &Lib::mpu_fun_InstallLocation_For_Other_NordPass, u"C:\\Program Files\\NordPass\\"},
        // a machine open command
        {u"ExpressVPN", u"ExpressVPN", &Lib::mpu_fun_InstallLocation_For_Other_ExpressVPN,
         u"\"C:\\Program Files (x86)\\ExpressVPN\\\""},
        // the shell name cache
        {u"IPVanish", u"IPVanish", &Lib::mpu_fun_InstallLocation_For_Other_IPVanishVPN,
         u"C:\\Program Files (x86)\\IPVanish\\"},
        // a service image path
        {u"PrivateVPN", u"PrivateVPN", &Lib::mpu_fun_InstallLocation_For_Other_PrivateVPN,
         u"C:\\Program Files (x86)\\PrivateVPN\\"},
        // an open command, then the compatibility store
        {u"Soda PDF Desktop 14", u"Soda PDF Desktop", &Lib::mpu_fun_InstallLocation_For_Other_SodaPDFDesktop,
         u"\"C:\\Program Files\\Soda PDF Desktop 14\\\""},
        // a value with its fallback key
        {u"Nextcloud", u"Nextcloud", &Lib::mpu_fun_InstallLocation_For_Other_Nextcloud,
         u"C:\\Program Files\\Nextcloud"},
        // a user open command, a row with a name pattern
        {u"Joplin 2.13.4", u"Joplin", &Lib::mpu_fun_InstallLocation_For_Other_Joplin,
         u"\"C:\\Users\\user\\AppData\\Local\\Programs\\Joplin\\Joplin.exe\""},
        // an open command of the classes root, a whole-name test
        {u"Canva", u"Canva", &Lib::mpu_fun_InstallLocation_For_Other_Canva,
         u"\"C:\\Users\\user\\AppData\\Local\\Programs\\Canva\\\""},
        // the installer folders holding the worker
        {u"Sync", u"Sync", &Lib::mpu_fun_InstallLocation_For_Other_Sync,
         u"C:\\Users\\user\\AppData\\Local\\Programs\\Sync\\"},
    };
    return table;
}

class KnowledgeRouting : public test::SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        test::load_knowledge_fixtures();
    }

    std::u16string routed(std::u16string location, const std::u16string& name, bool is64 = true) const {
        lib.route_install_location(location, name, is64);
        return location;
    }

    ZRB_Software_Lib lib;
};

std::string u8(const std::u16string& text) { return to_utf8(text); }

TEST_F(KnowledgeRouting, EveryProductWithoutLocationGetsWhatItsRuleFinds) {
    for (const Product& product : products()) {
        EXPECT_EQ(u8((lib.*product.rule)(product.name, true)), u8(product.found)) << u8(product.name);
        EXPECT_EQ(u8(routed(u"", product.name)), u8(product.found)) << u8(product.name);
        // Blanks alone are no location.
        EXPECT_EQ(u8(routed(u" \t", product.name)), u8(product.found)) << u8(product.name);
    }
}

TEST_F(KnowledgeRouting, LocationNamingTheProductIsTrustedUnlessTheRowHasNoGuard) {
    for (const Product& product : products()) {
        const std::u16string word = product.guard.empty() ? product.name : product.guard;
        const std::u16string trusted = u"D:\\Apps\\" + Str_LowerAscii(word) + u"\\";
        const std::u16string expected = product.guard.empty() ? product.found : trusted;
        EXPECT_EQ(u8(routed(trusted, product.name)), u8(expected)) << u8(product.name);
        EXPECT_EQ(u8(routed(u"D:\\Elsewhere\\", product.name)), u8(product.found)) << u8(product.name);
    }
}

TEST_F(KnowledgeRouting, EachRuleChecksTheNameItself) {
    // Maya has no name test of its own; 3ds Max falls back to the installer folders.
    const std::u16string maya = u"C:\\Program Files\\Autodesk\\Maya2024\\";
    const std::u16string max = u"C:\\Program Files\\Autodesk\\3ds Max 2024\\";
    for (const Product& product : products()) {
        const Rule rule = product.rule;
        const std::u16string expected = rule == &Lib::mpu_fun_InstallLocation_For_Autodesk_Maya     ? maya
                                        : rule == &Lib::mpu_fun_InstallLocation_For_Autodesk_3dsMax ? max
                                                                                                      : u"";
        EXPECT_EQ(u8((lib.*rule)(u"Unrelated Tool 1.0", true)), u8(expected)) << u8(product.name);
    }
}

TEST_F(KnowledgeRouting, UnrelatedProgramsKeepTheirLocation) {
    for (const std::u16string name :
         {u"Notepad++ (64-bit x64)", u"7-Zip 23.01", u"AutoCAD 2024 - English", u"Signal Beta",
          u"Oracle VM VirtualBox Extension Pack", u"Autodesk Navisworks Manage 2024 Update 1",
          u"Soda PDF Desktop 14 Edit Module"}) {
        EXPECT_EQ(u8(routed(u"D:\\Tools\\", name)), "D:\\Tools\\") << u8(name);
        EXPECT_EQ(u8(routed(u"", name)), "") << u8(name);
    }
}

TEST_F(KnowledgeRouting, RuleThatFindsNothingClearsTheLocation) {
    sim::reset();
    EXPECT_EQ(u8(routed(u"D:\\Tools\\", u"Adobe Premiere Pro 2024")), "");
    EXPECT_EQ(u8(routed(u"C:\\Program Files\\Adobe\\Adobe Premiere Pro 2024\\", u"Adobe Premiere Pro 2024")),
              "C:\\Program Files\\Adobe\\Adobe Premiere Pro 2024\\");
}

TEST_F(KnowledgeRouting, TriggerPatternsAreAnchoredAndIgnoreCase) {
    EXPECT_EQ(u8(routed(u"D:\\x\\", u"autodesk navisworks manage 2024")),
              "C:\\Program Files\\Autodesk\\Navisworks Manage 2024\\");
    EXPECT_EQ(u8(routed(u"D:\\x\\", u"Autodesk Navisworks Manage 24")), "D:\\x\\");
    // The dot of draw.io is any character: the row applies, the rule's own test then fails.
    EXPECT_EQ(u8(routed(u"D:\\x\\", u"drawXio 22.1")), "");
}

TEST_F(KnowledgeRouting, NamesInAnyCaseReachTheirRow) {
    for (const Product& product : products()) {
        for (const auto& name : {Str_UpperAscii(product.name), Str_LowerAscii(product.name)}) {
            EXPECT_EQ(u8(routed(u"D:\\Elsewhere\\", name)), u8(product.found)) << u8(name);
        }
    }
}

TEST_F(KnowledgeRouting, NamesThatMustEqualTheProductWordClearTheLocation) {
    for (const std::u16string name : {u"Sync Center Helper", u"Canva 1.78", u"DeepL Translator"}) {
        EXPECT_EQ(u8(routed(u"D:\\Tools\\", name)), "") << u8(name);
    }
    EXPECT_EQ(u8(routed(u"", u"sync")), "C:\\Users\\user\\AppData\\Local\\Programs\\Sync\\");
}

TEST_F(KnowledgeRouting, LaterRowSeesTheLocationTheEarlierRowLeft) {
    // Nextcloud's rule runs first; the Sync row then distrusts its result and clears it.
    EXPECT_EQ(u8(routed(u"", u"Nextcloud Sync Client")), "");
    sim::set_string(os::hkey_local_machine, u"SOFTWARE\\WOW6432Node\\Nextcloud GmbH\\Nextcloud", u"",
                    u"C:\\Program Files\\Nextcloud Sync");
    EXPECT_EQ(u8(routed(u"", u"Nextcloud Sync Client")), "C:\\Program Files\\Nextcloud Sync");
}

TEST_F(KnowledgeRouting, RulesReadTheRegistryViewOfTheScanPass) {
    // A 32-bit process that does not ask for the 64-bit view reads Wow6432Node.
    EXPECT_EQ(u8(routed(u"", u"Adobe Premiere Pro 2024", false)), "");
    EXPECT_EQ(u8(routed(u"", u"Adobe Premiere Pro 2024", true)), "C:\\Program Files\\Adobe\\Adobe Premiere Pro 2024\\");
}

TEST(KnowledgeFolderNames, ShippedTableIsEmptyAndLookupTakesTheLastKeyInMapOrder) {
    ZRB_Software_Lib lib;
    lib.mpu_InitLib();
    EXPECT_TRUE(lib.mpu_SDLMap_Lib_SoftwareName.empty());
    EXPECT_EQ(lib.folder_names_for(u"adobe premiere pro 2024"), nullptr);

    lib.register_product(u"premiere", {u"Adobe Premiere Pro 2024"});
    lib.register_product(u"adobe", {u"Adobe"});
    const StringList* found = lib.folder_names_for(u"adobe premiere pro 2024");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &lib.mpu_SDLMap_Lib_SoftwareName.at(u"premiere")->mpu_SDLarry_Lib_FoldersName);
    // Keys are compared as written: an upper-case name holds none of them.
    EXPECT_EQ(lib.folder_names_for(u"ADOBE PREMIERE PRO 2024"), nullptr);

    lib.mpu_Free();
    EXPECT_EQ(lib.folder_names_for(u"adobe premiere pro 2024"), nullptr);
}

}  // namespace
}  // namespace vorlix
