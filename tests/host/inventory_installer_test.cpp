// Products known to Windows Installer join the list through the same pipeline.
#include <gtest/gtest.h>

#include "inventory_test_support.h"

namespace vorlix::test {
namespace {

class InstallerProducts : public InventoryTest {
protected:
    void SetUp() override {
        InventoryTest::SetUp();
        load("installer.reg");
        scan();
    }
};

TEST_F(InstallerProducts, ProductsWithoutUninstallEntryAreListedWithoutRegistryPath) {
    const auto& runtime = listed(u"Hidden Runtime");
    EXPECT_EQ(runtime.mpu_str_InstallRegPath, u"");
    EXPECT_EQ(runtime.mpu_str_Publisher, u"Runtime Makers");
    EXPECT_EQ(runtime.mpu_str_DisplayVersion, u"3.1.4");
    EXPECT_EQ(runtime.mpu_str_InstallLocation, u"C:\\Program Files\\Hidden Runtime\\");
    EXPECT_EQ(runtime.mpu_str_UninstallString, u"msiexec.exe /x{0E4052F3-9F84-3D14-A9C0-0305E82C3301}");
    EXPECT_EQ(runtime.mpu_str_EstimatedSize, u"1.00 MB");
    EXPECT_EQ(runtime.mpu_int_Is64Bit, 1);
}

TEST_F(InstallerProducts, CachedPackageInTheInstallerFolderIsTheCommand) {
    EXPECT_EQ(listed(u"Package Tool").mpu_str_UninstallString, u"C:\\Windows\\Installer\\1a2b3c.msi");
    EXPECT_EQ(record(u"Stray Package"), nullptr);
}

TEST_F(InstallerProducts, UninstallEntryComesFirstAndTheProductOnlyAdds) {
    const auto& helper = listed(u"Office Helper");
    EXPECT_EQ(helper.mpu_str_Publisher, u"Entry Publisher");
    EXPECT_EQ(helper.mpu_str_InstallRegPath, u"HKLM|" + uninstall_key + u"{0E4052F6-9F84-3D14-A9C0-0305E82C3301}");
    EXPECT_EQ(helper.mpu_str_InstallLocation, u"C:\\Program Files\\Office Helper\\");
    EXPECT_EQ(helper.mpu_dowrd_EstimatedSize, 0x4000u);
    EXPECT_EQ(helper.mpu_str_EstimatedSize, u"16.00 MB");
}

TEST_F(InstallerProducts, AProductListedUnderTwoPathsIsOneRecord) {
    EXPECT_NE(record(u"Twice Listed"), nullptr);
    EXPECT_EQ(record(u"Only In The Variant"), nullptr);
    EXPECT_EQ(list->mpu_SDLarry_InstalledSoftware.size(), 4u);
}

}  // namespace
}  // namespace vorlix::test
