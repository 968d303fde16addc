// Product-family scan flags and the Civil 3D/AutoCAD adjustment.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "inventory/Unit_ZRB_Struct.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "platform/portable/utf.h"

namespace vorlix {
namespace {

const ZRB_Software_Lib lib{};

bool flag(const std::u16string& name, const std::u16string& publisher = u"Autodesk, Inc.",
          const std::u16string& location = u"C:\\Program Files\\Autodesk\\Product 2024\\") {
    return lib.install_location_scan_flag(name, publisher, location);
}

// One member of each kind: a name pattern (case-sensitive, anchored), the
// pattern that accepts nothing after its dash, and a word ignoring case.
TEST(KnowledgeFamilyFlags, AutodeskMembersAreExcludedByPatternAndByWord) {
    for (const std::u16string name : {u"Autodesk Civil 3D 2024 Language Pack - English", u"AutoCAD LT 2024 - ",
                                      u"rsa com 2024"}) {
        EXPECT_FALSE(flag(name)) << to_utf8(name);
    }
}

TEST(KnowledgeFamilyFlags, MainProductsAndNearMissesAreScanned) {
    for (const std::u16string name : {
             u"Autodesk AutoCAD 2024 - English",
             u"autocad 2024 - english",  // the name patterns are case-sensitive
             u"AutoCAD 2024 -",
             u"Autodesk Inventor Professional 2024 - English",
             u"Autodesk Civil 3D 2024 - English",
             u"Revit 2024 Beta",
             u"Autodesk Revit 2024",
             u"Autodesk AutoCAD Performance Feedback Tool",
         }) {
        EXPECT_TRUE(flag(name)) << to_utf8(name);
    }
}

TEST(KnowledgeFamilyFlags, AutodeskVendorFolderIsNeverScanned) {
    EXPECT_FALSE(flag(u"Autodesk Access", u"Autodesk", u"C:\\Program Files\\Autodesk\\"));
    EXPECT_FALSE(flag(u"Autodesk Access", u"Autodesk", u"d:\\apps\\autodesk\\"));
    EXPECT_TRUE(flag(u"Autodesk Access", u"Autodesk", u"C:\\Autodesk\\"));
    EXPECT_TRUE(flag(u"Autodesk Access", u"Autodesk", u"C:\\Program Files\\Autodesk"));
    EXPECT_TRUE(flag(u"Autodesk Access", u"Autodesk", u"C:\\Program Files\\Autodesk\\Access\\"));
}

TEST(KnowledgeFamilyFlags, PublisherChoosesTheFamilyRule) {
    EXPECT_TRUE(flag(u"AutoCAD 2024 - English", u""));
    EXPECT_TRUE(flag(u"", u"Autodesk", u"C:\\Program Files\\Autodesk\\"));
    EXPECT_FALSE(flag(u"AutoCAD 2024 - English", u"autodesk"));
    EXPECT_TRUE(flag(u"AutoCAD 2024 - English", u"Autodisk"));

    EXPECT_FALSE(flag(u"Soda PDF Desktop 14 Edit Module", u"Avanquest Software"));
    EXPECT_FALSE(flag(u"soda pdf desktop 14 view module", u"Avanquest Software"));
    EXPECT_TRUE(flag(u"Soda PDF Desktop 14", u"Avanquest Software"));
    EXPECT_TRUE(flag(u"Soda PDF Desktop 14 Edit View Module", u"Avanquest Software"));

    EXPECT_FALSE(flag(u"DaVinci Resolve Control Panels", u"Blackmagic Design"));
    EXPECT_TRUE(flag(u"DaVinci Resolve", u"Blackmagic Design"));
    // Only the first family the publisher names is asked.
    EXPECT_TRUE(flag(u"DaVinci Resolve Control Panels", u"Autodesk and Blackmagic Design"));
    EXPECT_TRUE(flag(u"DaVinci Resolve Control Panels", u"Other Vendor"));
}

class KnowledgeAutodeskAdjustment : public ::testing::Test {
protected:
    ZRB_InstalledSoftware* add(const std::u16string& name_low, const std::u16string& location, bool flag_value) {
        auto record = std::make_shared<ZRB_InstalledSoftware>();
        record->mpu_str_Name_low = name_low;
        record->mpu_str_InstallLocation = location;
        record->mpu_bool_InstallLocation_Scan = flag_value;
        EXPECT_TRUE(list.add(record));
        return record.get();
    }

    ZRB_InstalledSoftwareList list;
};

TEST_F(KnowledgeAutodeskAdjustment, SharedFolderGoesToAutoCAD) {
    ZRB_InstalledSoftware* civil =
        add(u"autodesk civil 3d 2024 - english", u"C:\\Program Files\\Autodesk\\AutoCAD 2024\\", true);
    ZRB_InstalledSoftware* autocad =
        add(u"autodesk autocad 2024 - english", u"c:\\program files\\autodesk\\autocad 2024\\", false);
    lib.mpu_pro_InstalledInfo_Optimize_For_Autodesk(list);
    EXPECT_FALSE(civil->mpu_bool_InstallLocation_Scan);
    EXPECT_TRUE(autocad->mpu_bool_InstallLocation_Scan);
}

TEST_F(KnowledgeAutodeskAdjustment, DifferentFoldersOrAMissingPartnerChangeNothing) {
    ZRB_InstalledSoftware* civil = add(u"autodesk civil 3d 2024 - english", u"C:\\Civil\\", true);
    lib.mpu_pro_InstalledInfo_Optimize_For_Autodesk(list);
    EXPECT_TRUE(civil->mpu_bool_InstallLocation_Scan);

    ZRB_InstalledSoftware* autocad = add(u"autodesk autocad 2024 - english", u"C:\\AutoCAD\\", false);
    lib.mpu_pro_InstalledInfo_Optimize_For_Autodesk(list);
    EXPECT_TRUE(civil->mpu_bool_InstallLocation_Scan);
    EXPECT_FALSE(autocad->mpu_bool_InstallLocation_Scan);
}

TEST_F(KnowledgeAutodeskAdjustment, LastMatchingNameOfEachKindTakesPart) {
    ZRB_InstalledSoftware* civil_2023 = add(u"autodesk civil 3d 2023 - english", u"", true);
    ZRB_InstalledSoftware* autocad = add(u"autodesk autocad 2024 - english", u"", false);
    ZRB_InstalledSoftware* civil_2024 = add(u"autodesk civil 3d 2024 - english", u"", true);
    add(u"autodesk civil 3d 2024", u"", true);  // not of the "- language" form
    lib.mpu_pro_InstalledInfo_Optimize_For_Autodesk(list);
    EXPECT_TRUE(civil_2023->mpu_bool_InstallLocation_Scan);
    EXPECT_FALSE(civil_2024->mpu_bool_InstallLocation_Scan);
    EXPECT_TRUE(autocad->mpu_bool_InstallLocation_Scan);
}

TEST_F(KnowledgeAutodeskAdjustment, NonAsciiCaseDifferenceKeepsTheFlags) {
    ZRB_InstalledSoftware* civil = add(u"autodesk civil 3d 2024 - français", u"C:\\Planos\\Ñ\\", true);
    ZRB_InstalledSoftware* autocad = add(u"autodesk autocad 2024 - français", u"C:\\Planos\\ñ\\", false);
    lib.mpu_pro_InstalledInfo_Optimize_For_Autodesk(list);
    EXPECT_TRUE(civil->mpu_bool_InstallLocation_Scan);
    EXPECT_FALSE(autocad->mpu_bool_InstallLocation_Scan);
}

}  // namespace
}  // namespace vorlix
