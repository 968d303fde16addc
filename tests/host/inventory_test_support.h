// Shared by the inventory tests: run one whole scan on the simulated machine
// and keep what its callbacks reported.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"
#include "inventory/entry_values.h"
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix::test {

inline const std::u16string uninstall_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline const std::u16string uninstall_key_wow = u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Reported {
    std::u16string name, publisher, version, size, location, icon;
    std::int32_t icon_index = 0;
};

class InventoryTest : public SimTest {
protected:
    std::shared_ptr<ZRB_InstalledSoftwareList> list = std::make_shared<ZRB_InstalledSoftwareList>();
    std::shared_ptr<ZRB_Software_Lib> knowledge = std::make_shared<ZRB_Software_Lib>();
    std::vector<Reported> reported;

    void SetUp() override {
        SimTest::SetUp();
        knowledge->mpu_InitLib();
    }

    static void load(const std::string& fixture) {
        std::string error;
        ASSERT_TRUE(sim::import_reg_file(std::string(VORLIX_FIXTURES) + "/inventory/" + fixture, &error)) << error;
    }

    // Sets an Uninstall entry's text values below HKLM (64-bit view, plain path).
    static void entry(const std::u16string& key, std::initializer_list<std::pair<std::u16string, std::u16string>> values,
                      os::Hkey root = os::hkey_local_machine, const std::u16string& path = uninstall_key) {
        sim::create_key(root, path + key);
        for (const auto& [name, text] : values) sim::set_string(root, path + key, name, text);
    }

    // One Uninstall entry per folder, named PREFIX followed by A, B, C..., with that folder as its location.
    static std::vector<std::pair<std::u16string, std::u16string>> entry_per_folder(
        const std::u16string& prefix, const std::vector<std::u16string>& folders) {
        std::vector<std::pair<std::u16string, std::u16string>> named;
        for (const auto& folder : folders) {
            const auto key = prefix + std::u16string(1, static_cast<char16_t>(u'A' + named.size()));
            entry(key, {{u"DisplayName", key}, {u"InstallLocation", folder}, {u"UninstallString", u"remove.exe"}});
            named.emplace_back(key, folder);
        }
        return named;
    }
    // After the scan: each entry of entry_per_folder kept its folder (kept) or lost it.
    void expect_locations(const std::vector<std::pair<std::u16string, std::u16string>>& named, bool kept) const {
        for (const auto& [key, folder] : named)
            EXPECT_EQ(listed(key).mpu_str_InstallLocation, kept ? folder : u"") << to_utf8(folder);
    }

    void scan() {
        auto thread = std::make_shared<ZRB_Thread_GetInstalledSoftwareList>(list, knowledge, u"C:\\Vorlix\\");
        thread->mpu_dword_cb_TGS_GetSoftwareList = [this](const char16_t* name, const char16_t* publisher,
                                                          const char16_t* version, const char16_t* size,
                                                          const char16_t* location, const char16_t* icon,
                                                          std::int32_t icon_index) -> std::uint32_t {
            reported.push_back({name, publisher, version, size, location, icon, icon_index});
            return 0;
        };
        thread->start().join();
    }

    const ZRB_InstalledSoftware* record(const std::u16string& name) const {
        return list->find(Str_LowerAscii(name));
    }
    // The record, failing the test when the scan did not list it.
    const ZRB_InstalledSoftware& listed(const std::u16string& name) const {
        const auto* found = record(name);
        if (!found) ADD_FAILURE() << "not listed: " << to_utf8(name);
        static const ZRB_InstalledSoftware none;
        return found ? *found : none;
    }
    std::vector<std::u16string> reported_names() const {
        std::vector<std::u16string> names;
        for (const auto& program : reported) names.push_back(program.name);
        return names;
    }
};

}  // namespace vorlix::test
