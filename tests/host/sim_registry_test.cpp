// The model's registry against what Windows does and the engine relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/portable/reg_file.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

using os::Hkey;

class SimRegistry : public test::SimTest {
protected:
    void TearDown() override {
        for (Hkey key : keys) os::reg_close_key(key);
    }

    Hkey open(Hkey root, const std::u16string& path, std::uint32_t sam = os::key_all_access) {
        Hkey key = 0;
        EXPECT_EQ(os::reg_open_key_ex(root, path, sam, key), os::error_success) << std::string(path.begin(), path.end());
        keys.push_back(key);
        return key;
    }

    static std::uint32_t open_result(Hkey root, const std::u16string& path, std::uint32_t sam = os::key_all_access) {
        Hkey key = 0;
        const auto result = os::reg_open_key_ex(root, path, sam, key);
        if (result == os::error_success) os::reg_close_key(key);
        return result;
    }

    static std::vector<std::u16string> subkeys(Hkey key) {
        std::vector<std::u16string> names;
        char16_t name[256];
        std::uint32_t length = 256;
        for (std::uint32_t i = 0; os::reg_enum_key_ex(key, i, name, length) == os::error_success; ++i, length = 256)
            names.emplace_back(name, length);
        return names;
    }

    static std::vector<std::u16string> value_names(Hkey key) {
        std::vector<std::u16string> names;
        char16_t name[256];
        std::uint32_t length = 256;
        for (std::uint32_t i = 0; os::reg_enum_value(key, i, name, length, nullptr, nullptr, nullptr) == os::error_success;
             ++i, length = 256)
            names.emplace_back(name, length);
        return names;
    }

    std::vector<Hkey> keys;
};

class SimRegistry64 : public SimRegistry {
protected:
    sim::MachineConfig machine() const override {
        sim::MachineConfig config;
        config.process64 = true;
        return config;
    }
};

class SimRegistryOn32BitWindows : public SimRegistry {
protected:
    sim::MachineConfig machine() const override {
        sim::MachineConfig config;
        config.windows64 = false;
        config.has_reg_delete_key_ex = false;
        return config;
    }
};

// ---------------------------------------------------------------- names and order

// Letters sort alike on every backend (a contract test); past them Windows
// compares upper-cased names, so "_" follows "Z". Values keep the order they
// were added in, as on Windows (Wine sorts them).
TEST_F(SimRegistry, SubkeysSortUpperCasedValuesInInsertionOrder) {
    for (const auto* name : {u"zeta", u"Alpha", u"_x"}) sim::create_key(os::hkey_local_machine, std::u16string(u"SOFTWARE\\T\\") + name);
    for (const auto* name : {u"zeta", u"Alpha", u"beta"}) sim::set_dword(os::hkey_local_machine, u"SOFTWARE\\T", name, 1);
    const Hkey key = open(os::hkey_local_machine, u"SOFTWARE\\T", os::key_all_access | os::key_wow64_64key);
    EXPECT_EQ(subkeys(key), (std::vector<std::u16string>{u"Alpha", u"zeta", u"_x"}));
    EXPECT_EQ(value_names(key), (std::vector<std::u16string>{u"zeta", u"Alpha", u"beta"}));

    // Rewriting a value keeps its place.
    sim::set_dword(os::hkey_local_machine, u"SOFTWARE\\T", u"ZETA", 2);
    EXPECT_EQ(value_names(key), (std::vector<std::u16string>{u"zeta", u"Alpha", u"beta"}));
}

TEST_F(SimRegistry, CurrentUserIsTheUsersSidAndClassesRootIsMachineClasses) {
    sim::set_dword(os::hkey_users, u"S-1-5-21-0-0-0-1000\\Software\\Vendor", u"v", 7);
    sim::create_key(os::hkey_local_machine, u"SOFTWARE\\Classes\\.vx");
    EXPECT_EQ(open_result(os::hkey_current_user, u"Software\\Vendor"), os::error_success);
    EXPECT_EQ(open_result(os::hkey_classes_root, u".vx"), os::error_success);
    EXPECT_TRUE(sim::key_exists(os::hkey_current_user, u"Software\\Vendor"));
}

// ---------------------------------------------------------------- deletion and access

TEST_F(SimRegistry, DeletingRulesAndDeletedHandles) {
    sim::create_key(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\App\\Sub");
    EXPECT_EQ(os::reg_delete_key(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\App"), os::error_access_denied);
    EXPECT_EQ(os::reg_delete_key(os::hkey_local_machine, u"SOFTWARE"), os::error_access_denied);  // a hive
    EXPECT_EQ(os::reg_delete_key(os::hkey_current_user, u""), os::error_access_denied);

    const Hkey sub = open(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\App\\Sub");
    const Hkey relative = open(sub, u"");
    EXPECT_EQ(os::reg_delete_key(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\App\\Sub\\"), os::error_success);
    std::uint32_t count = 0;
    EXPECT_EQ(os::reg_query_info_key(sub, &count, nullptr, nullptr, nullptr, nullptr), os::error_key_deleted);
    EXPECT_EQ(os::reg_query_info_key(relative, &count, nullptr, nullptr, nullptr, nullptr), os::error_key_deleted);
    Hkey child = 0;
    EXPECT_EQ(os::reg_create_key_ex(sub, u"New", os::key_all_access, child), os::error_key_deleted);
    EXPECT_EQ(os::reg_close_key(sub), os::error_success);
    keys.erase(keys.begin());
    EXPECT_EQ(os::reg_close_key(sub), os::error_invalid_handle);
}

TEST_F(SimRegistry, DeniedKeysRefuseWritingOpeningAndDeleting) {
    sim::create_key(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Locked\\Inner");
    sim::create_key(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Hidden");
    sim::deny_write(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Locked");
    sim::deny_open(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Hidden");

    EXPECT_EQ(open_result(os::hkey_local_machine, u"SOFTWARE\\Locked\\Inner"), os::error_access_denied);
    EXPECT_EQ(open_result(os::hkey_local_machine, u"SOFTWARE\\Locked\\Inner", os::key_read), os::error_success);
    EXPECT_EQ(os::reg_delete_key(os::hkey_local_machine, u"SOFTWARE\\Locked\\Inner"), os::error_access_denied);
    Hkey created = 0;
    EXPECT_EQ(os::reg_create_key_ex(os::hkey_local_machine, u"SOFTWARE\\Locked\\New", os::key_all_access, created),
              os::error_access_denied);
    EXPECT_EQ(open_result(os::hkey_local_machine, u"SOFTWARE\\Hidden", os::key_read), os::error_access_denied);

    // A read-only handle may read but not write.
    const Hkey reader = open(os::hkey_local_machine, u"SOFTWARE\\Locked", os::key_read);
    EXPECT_EQ(os::reg_set_value_ex(reader, u"v", os::reg_binary, nullptr, 0), os::error_access_denied);
    EXPECT_EQ(os::reg_create_key_ex(reader, u"New", os::key_read, created), os::error_access_denied);
    EXPECT_EQ(subkeys(reader), (std::vector<std::u16string>{u"Inner"}));
}

TEST_F(SimRegistryOn32BitWindows, DeleteKeyExIsMissingAndViewFlagsAreIgnored) {
    sim::create_key(os::hkey_local_machine, u"SOFTWARE\\App");
    EXPECT_EQ(os::reg_delete_key_ex(os::hkey_local_machine, u"SOFTWARE\\App", os::key_wow64_64key, 0),
              os::error_proc_not_found);
    EXPECT_EQ(open_result(os::hkey_local_machine, u"SOFTWARE\\App", os::key_all_access | os::key_wow64_32key),
              os::error_success);
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node"));
}

// ---------------------------------------------------------------- 32/64-bit views

TEST_F(SimRegistry, Wow64ProcessSeesWow6432NodeUnlessItAsksForThe64BitView) {
    sim::set_dword(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Vendor", u"bits", 32);
    sim::set_dword(os::hkey_local_machine, u"SOFTWARE\\Vendor", u"bits", 64);
    const auto bits = [this](std::uint32_t sam, Hkey root = os::hkey_local_machine,
                             const std::u16string& path = u"SOFTWARE\\Vendor") {
        const Hkey key = open(root, path, os::key_all_access | sam);
        std::uint32_t value = 0, size = 4;
        os::reg_query_value_ex(key, u"bits", nullptr, reinterpret_cast<std::uint8_t*>(&value), &size);
        return value;
    };
    EXPECT_EQ(bits(0), 32u);
    EXPECT_EQ(bits(os::key_wow64_32key), 32u);
    EXPECT_EQ(bits(os::key_wow64_64key), 64u);
    EXPECT_EQ(bits(0, os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Vendor"), 32u);  // not redirected twice
    // Opening relative to a 64-bit handle redirects again when the flag is left out.
    const Hkey software64 = open(os::hkey_local_machine, u"SOFTWARE", os::key_all_access | os::key_wow64_64key);
    EXPECT_EQ(bits(0, software64, u"Vendor"), 32u);
    EXPECT_EQ(bits(os::key_wow64_64key, software64, u"Vendor"), 64u);

    // Creating and deleting take the same road.
    Hkey created = 0;
    ASSERT_EQ(os::reg_create_key_ex(os::hkey_local_machine, u"SOFTWARE\\New", os::key_all_access, created),
              os::error_success);
    os::reg_close_key(created);
    EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\New"));
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\New"));
    EXPECT_EQ(os::reg_delete_key(os::hkey_local_machine, u"SOFTWARE\\New"), os::error_success);
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\New"));

    // Only HKLM\SOFTWARE is redirected.
    sim::create_key(os::hkey_local_machine, u"SYSTEM\\Thing");
    sim::create_key(os::hkey_current_user, u"Software\\Thing");
    EXPECT_EQ(open_result(os::hkey_local_machine, u"SYSTEM\\Thing"), os::error_success);
    EXPECT_EQ(open_result(os::hkey_current_user, u"Software\\Thing"), os::error_success);
}

TEST_F(SimRegistry64, NativeProcessRedirectsOnlyWhenAskedForThe32BitView) {
    sim::set_dword(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Only32", u"x", 1);
    EXPECT_EQ(open_result(os::hkey_local_machine, u"SOFTWARE\\Only32"), os::error_file_not_found);
    EXPECT_EQ(open_result(os::hkey_local_machine, u"SOFTWARE\\Only32", os::key_all_access | os::key_wow64_32key),
              os::error_success);
    EXPECT_EQ(os::reg_delete_key_ex(os::hkey_local_machine, u"SOFTWARE\\Only32", os::key_wow64_32key, 0),
              os::error_success);
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Only32"));
}

// ---------------------------------------------------------------- control surface

TEST_F(SimRegistry, EnumerationHookRunsOnceBeforeItsIndex) {
    for (const auto* name : {u"A", u"B", u"C"}) sim::create_key(os::hkey_current_user, std::u16string(u"Software\\E\\") + name);
    int runs = 0;
    sim::on_enum_key(os::hkey_current_user, u"Software\\E", 1, [&runs] {
        ++runs;
        sim::create_key(os::hkey_current_user, u"Software\\E\\0");  // sorts first: shifts the indices
    });
    const Hkey key = open(os::hkey_current_user, u"software\\e");
    EXPECT_EQ(subkeys(key), (std::vector<std::u16string>{u"A", u"A", u"B", u"C"}));
    EXPECT_EQ(runs, 1);
}

TEST_F(SimRegistry, ImportAndExportRoundTripEveryTypeLiterally) {
    const std::string fixture =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App]\r\n"
        "\"Name\"=\"App \\\"quoted\\\"\"\r\n"
        "\"Count\"=dword:00000003\r\n"
        "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
        "\"Odd\"=hex(1):61\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App\\Sub]\r\n"
        "@=\"d\"\r\n";
    std::string error;
    ASSERT_TRUE(sim::import_reg(fixture, &error)) << error;
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Wow6432Node\\Vendor"));  // taken literally

    const std::string exported = sim::export_reg(os::hkey_local_machine, u"SOFTWARE\\Vendor");
    const auto document = regfile::parse(exported);
    ASSERT_TRUE(document);
    ASSERT_EQ(document->keys.size(), 3u);
    EXPECT_EQ(document->keys[1].path, u"SOFTWARE\\Vendor\\App");
    EXPECT_EQ(document->keys[1].values[3].data, "a");

    sim::reset();
    ASSERT_TRUE(sim::import_reg(exported, &error)) << error;
    EXPECT_EQ(sim::export_reg(os::hkey_local_machine, u"SOFTWARE\\Vendor"), exported);

    ASSERT_TRUE(sim::import_reg("Windows Registry Editor Version 5.00\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor]\r\n"));
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Vendor"));
}

TEST_F(SimRegistry, RejectedImportsChangeNothing) {
    const std::string header = "Windows Registry Editor Version 5.00\r\n";
    const std::u16string name255(255, u'k');
    const std::string name255_utf8(255, 'k');
    std::string error;
    ASSERT_TRUE(sim::import_reg(header + "[HKEY_CURRENT_USER\\Software\\" + name255_utf8 + "]\r\n", &error)) << error;
    EXPECT_TRUE(sim::key_exists(os::hkey_current_user, u"Software\\" + name255));

    for (const std::string& text : {header + "[HKEY_CURRENT_USER\\Software\\Good]\r\n[HKEY_CURRENT_USER\\Software\\" +
                                         name255_utf8 + "k]\r\n",
                                     header + "[HKEY_CURRENT_USER\\Software\\Good]\r\n[HKEY_CURRENT_CONFIG\\X]\r\n",
                                     header + "[HKEY_CURRENT_USER\\Software\\Good]\r\n\"x\"=hex:0g\r\n"}) {
        error.clear();
        EXPECT_FALSE(sim::import_reg(text, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(sim::key_exists(os::hkey_current_user, u"Software\\Good"));
    }
    Hkey key = 0;
    EXPECT_EQ(os::reg_create_key_ex(os::hkey_current_user, u"Software\\" + name255 + u"k", os::key_all_access, key),
              os::error_invalid_parameter);
}

}  // namespace
}  // namespace vorlix
