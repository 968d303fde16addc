// The knowledge base inside a whole inventory scan of the knowledge-base
// fixtures: the locations the rules find survive normalisation, and the
// family flags and the Civil 3D/AutoCAD adjustment reach the records.
#include "inventory_test_support.h"
#include "knowledge_test_support.h"

namespace vorlix {
namespace {

class KnowledgeScan : public test::InventoryTest {
protected:
    void SetUp() override {
        InventoryTest::SetUp();
        test::load_knowledge_fixtures();
        sim::add_file(u"C:\\Users\\user\\AppData\\Local\\Programs\\Joplin\\Joplin.exe");
        scan();
    }

    std::string location(const std::u16string& name) const { return to_utf8(listed(name).mpu_str_InstallLocation); }
    bool scanned(const std::u16string& name) const { return listed(name).mpu_bool_InstallLocation_Scan; }
};

TEST_F(KnowledgeScan, RuleLocationsBecomeProgramFolders) {
    EXPECT_EQ(location(u"Adobe Premiere Pro 2024"), "C:\\Program Files\\Adobe\\Adobe Premiere Pro 2024\\");
    EXPECT_EQ(location(u"Adobe Lightroom Classic"), "C:\\Program Files\\Adobe\\Adobe Lightroom Classic\\");
    EXPECT_EQ(location(u"Joplin 2.13.4"), "C:\\Users\\user\\AppData\\Local\\Programs\\Joplin\\");
    EXPECT_EQ(location(u"Sync"), "C:\\Users\\user\\AppData\\Local\\Programs\\Sync\\");
    EXPECT_EQ(location(u"Autodesk Inventor Professional 2024"), "C:\\Program Files\\Autodesk\\Inventor 2024\\");
}

TEST_F(KnowledgeScan, FamilyMembersAndTheSharedCivil3DFolderAreNotScanned) {
    for (const std::u16string name :
         {u"AutoCAD 2024 - English", u"Autodesk Access", u"Autodesk Revit Unit Schemas 2024",
          u"Autodesk Civil 3D 2024 - English", u"Soda PDF Desktop 14 Edit Module", u"DaVinci Resolve Control Panels"}) {
        EXPECT_FALSE(scanned(name)) << to_utf8(name);
    }
    for (const std::u16string name :
         {u"Autodesk AutoCAD 2024 - English", u"Soda PDF Desktop 14", u"DaVinci Resolve", u"Autodesk Maya 2024"}) {
        EXPECT_TRUE(scanned(name)) << to_utf8(name);
    }
    EXPECT_EQ(location(u"Autodesk Civil 3D 2024 - English"), location(u"Autodesk AutoCAD 2024 - English"));
}

}  // namespace
}  // namespace vorlix
