// Registry behaviour both backends share. Values are created in sorted order
// wherever their enumeration order is checked: Windows enumerates values in
// insertion order, Wine in name order. Subkeys come sorted on both.
#include <string>
#include <vector>

#include "contract/contract_env.h"
#include "platform/os.h"
#include "platform/portable/utf.h"

namespace vorlix::contract {
namespace {

class ContractRegistry : public ContractTest {
protected:
    void TearDown() override {
        for (os::Hkey key : open_keys) os::reg_close_key(key);
    }

    os::Hkey create(const std::u16string& below_scratch) {
        os::Hkey key = 0;
        EXPECT_EQ(os::reg_create_key_ex(os::hkey_current_user, path(below_scratch), os::key_all_access, key),
                  os::error_success);
        open_keys.push_back(key);
        return key;
    }

    static std::u16string path(const std::u16string& below_scratch) {
        return below_scratch.empty() ? scratch_key : scratch_key + u"\\" + below_scratch;
    }

    static void set(os::Hkey key, const std::u16string& name, std::uint32_t type, const std::string& bytes) {
        ASSERT_EQ(os::reg_set_value_ex(key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                       static_cast<std::uint32_t>(bytes.size())),
                  os::error_success);
    }

    // The subkeys' names in enumeration order, which ends with error_no_more_items.
    static std::vector<std::u16string> sub_keys(os::Hkey key) {
        std::vector<std::u16string> names;
        char16_t name[256];
        for (std::uint32_t index = 0;; ++index) {
            std::uint32_t length = 256;
            const auto result = os::reg_enum_key_ex(key, index, name, length);
            if (result != os::error_success) {
                EXPECT_EQ(result, os::error_no_more_items);
                return names;
            }
            names.emplace_back(name, length);
        }
    }

    std::vector<os::Hkey> open_keys;
};

TEST_F(ContractRegistry, KeysOpenIgnoringCaseAndEnumerateSortedWithTheirOwnCase) {
    const os::Hkey parent = create(u"");
    for (const auto* name : {u"zeta", u"Alpha", u"Zed", u"beta", u"Gamma\\Deeper", u"\u00c9t\u00e9\\\u0416\u0443\u043a"})
        create(name);

    os::Hkey opened = 0;
    ASSERT_EQ(os::reg_open_key_ex(os::hkey_current_user, u"SOFTWARE\\vorlixcontract\\GAMMA\\", os::key_read, opened),
              os::error_success);
    os::reg_close_key(opened);
    ASSERT_EQ(os::reg_open_key_ex(parent, u"gamma\\deeper", os::key_read, opened), os::error_success);
    os::reg_close_key(opened);
    // Case is ignored beyond ASCII; accents are not.
    ASSERT_EQ(os::reg_open_key_ex(parent, u"\u00e9T\u00c9\\\u0436\u0423\u041a", os::key_read, opened), os::error_success);
    os::reg_close_key(opened);
    EXPECT_EQ(os::reg_open_key_ex(parent, u"Ete", os::key_read, opened), os::error_file_not_found);
    EXPECT_EQ(os::reg_open_key_ex(parent, u"Delta", os::key_read, opened), os::error_file_not_found);

    EXPECT_EQ(sub_keys(parent),
              (std::vector<std::u16string>{u"Alpha", u"beta", u"Gamma", u"Zed", u"zeta", u"\u00c9t\u00e9"}));
}

TEST_F(ContractRegistry, EnumeratedKeyNamesFollowTheBufferProtocol) {
    const os::Hkey parent = create(u"");
    create(u"Alpha");
    char16_t name[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
    std::uint32_t length = 5;  // room for the name, not for its null
    EXPECT_EQ(os::reg_enum_key_ex(parent, 0, name, length), os::error_more_data);
    EXPECT_EQ(length, 5u);  // length and buffer are left alone
    EXPECT_EQ(name[0], u'#');
    length = 6;
    ASSERT_EQ(os::reg_enum_key_ex(parent, 0, name, length), os::error_success);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(std::u16string(name), u"Alpha");
    length = 8;
    EXPECT_EQ(os::reg_enum_key_ex(parent, 1, name, length), os::error_no_more_items);
}

TEST_F(ContractRegistry, QueryInfoCountsInCharactersWithoutTheNull) {
    const os::Hkey key = create(u"");
    create(u"Alpha");
    create(u"Bravo123");
    set(key, u"Name", os::reg_binary, std::string(10, '\x01'));
    set(key, u"LongerName", os::reg_binary, std::string(3, '\x02'));
    std::uint32_t sub_keys = 0, longest_key = 0, values = 0, longest_name = 0, longest_data = 0;
    ASSERT_EQ(os::reg_query_info_key(key, &sub_keys, &longest_key, &values, &longest_name, &longest_data),
              os::error_success);
    EXPECT_EQ(sub_keys, 2u);
    EXPECT_EQ(longest_key, 8u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(longest_name, 10u);
    EXPECT_EQ(longest_data, 10u);
}

TEST_F(ContractRegistry, ValuesComeBackAsTheStoredBytesWithTheSizeProtocol) {
    const os::Hkey key = create(u"Values");
    const std::string unterminated = to_utf16le_bytes(u"abc");
    const std::string multi = to_utf16le_bytes(std::u16string(u"one\0two\0\0", 9));
    set(key, u"Raw", os::reg_sz, unterminated);
    set(key, u"Multi", os::reg_multi_sz, multi);
    set(key, u"Number", os::reg_dword, std::string("\x78\x56\x34\x12", 4));
    set(key, u"Empty", os::reg_binary, "");

    struct Expected {
        std::u16string name;  // spelled in another case than when set
        std::uint32_t type;
        std::string bytes;
    };
    for (const Expected& expected : {Expected{u"raw", os::reg_sz, unterminated}, Expected{u"MULTI", os::reg_multi_sz, multi},
                                     Expected{u"number", os::reg_dword, std::string("\x78\x56\x34\x12", 4)},
                                     Expected{u"EMPTY", os::reg_binary, std::string()}}) {
        const auto& [name, type, bytes] = expected;
        SCOPED_TRACE(::testing::Message() << "value of " << bytes.size() << " bytes");
        std::uint32_t found_type = 0, size = 0;
        ASSERT_EQ(os::reg_query_value_ex(key, name, &found_type, nullptr, &size), os::error_success);
        EXPECT_EQ(found_type, type);
        EXPECT_EQ(size, bytes.size());
        std::vector<std::uint8_t> data(bytes.size() + 8, 0xEE);
        size = static_cast<std::uint32_t>(data.size());
        ASSERT_EQ(os::reg_query_value_ex(key, name, nullptr, data.data(), &size), os::error_success);
        EXPECT_EQ(size, bytes.size());
        EXPECT_EQ(std::string(data.begin(), data.begin() + size), bytes);
        // Past the data only a string may get the null the system adds when there is room.
        if (type != os::reg_sz && type != os::reg_multi_sz) {
            EXPECT_EQ(data[size], 0xEE);
        }
        if (bytes.empty()) continue;
        size = static_cast<std::uint32_t>(bytes.size() - 1);
        EXPECT_EQ(os::reg_query_value_ex(key, name, nullptr, data.data(), &size), os::error_more_data);
        EXPECT_EQ(size, bytes.size());
    }
    std::uint32_t size = 0;
    EXPECT_EQ(os::reg_query_value_ex(key, u"Missing", nullptr, nullptr, &size), os::error_file_not_found);
    std::uint8_t data[4];
    EXPECT_EQ(os::reg_query_value_ex(key, u"Number", nullptr, data, nullptr), os::error_invalid_parameter);
}

TEST_F(ContractRegistry, ValueEnumerationGivesNamesTypesAndSizes) {
    const os::Hkey key = create(u"Values");
    set(key, u"", os::reg_sz, to_utf16le_bytes(std::u16string(u"default\0", 8)));
    set(key, u"Alpha", os::reg_binary, "\x01\x02\x03");
    set(key, u"Beta", os::reg_qword, std::string(8, '\x07'));

    struct Seen {
        std::u16string name;
        std::uint32_t type;
        std::uint32_t size;
    };
    std::vector<Seen> seen;
    char16_t name[64];
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t length = 64, type = 0, size = 0;
        const auto result = os::reg_enum_value(key, index, name, length, &type, nullptr, &size);
        if (result != os::error_success) {
            EXPECT_EQ(result, os::error_no_more_items);
            break;
        }
        seen.push_back({std::u16string(name, length), type, size});
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].name, u"");
    EXPECT_EQ(seen[0].size, 16u);
    EXPECT_EQ(seen[1].name, u"Alpha");
    EXPECT_EQ(seen[1].type, os::reg_binary);
    EXPECT_EQ(seen[1].size, 3u);
    EXPECT_EQ(seen[2].name, u"Beta");
    EXPECT_EQ(seen[2].type, os::reg_qword);

    std::uint32_t length = 5;  // "Alpha" without room for the null
    EXPECT_EQ(os::reg_enum_value(key, 1, name, length, nullptr, nullptr, nullptr), os::error_more_data);
    std::uint8_t data[2];
    std::uint32_t size = sizeof data;
    length = 64;
    EXPECT_EQ(os::reg_enum_value(key, 1, name, length, nullptr, data, &size), os::error_more_data);
    EXPECT_EQ(size, 3u);
}

// One enumeration call per value, buffers sized from the key's information,
// gives every name and its data exactly as stored.
TEST_F(ContractRegistry, ValueEnumerationReadsDataInBuffersSizedFromTheKeyInformation) {
    const os::Hkey key = create(u"OnePass");
    const std::string odd = to_utf16le_bytes(u"Odd") + "\x41";  // no null, half a character at the end
    const std::string large = to_utf16le_bytes(std::u16string(150, u'L'));
    set(key, u"Large", os::reg_sz, large);
    set(key, u"Odd", os::reg_expand_sz, odd);

    std::uint32_t values = 0, longest_name = 0, longest_data = 0;
    ASSERT_EQ(os::reg_query_info_key(key, nullptr, nullptr, &values, &longest_name, &longest_data), os::error_success);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(longest_name, 5u);
    EXPECT_EQ(longest_data, 300u);

    std::u16string name(longest_name + 1, u'\0');
    std::vector<std::uint8_t> data(longest_data);
    std::vector<std::pair<std::u16string, std::string>> seen;
    for (std::uint32_t index = 0; index < values; ++index) {
        std::uint32_t length = longest_name + 1, size = longest_data, type = 0;
        ASSERT_EQ(os::reg_enum_value(key, index, name.data(), length, &type, data.data(), &size), os::error_success);
        seen.emplace_back(name.substr(0, length), std::string(data.begin(), data.begin() + size));
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (std::pair<std::u16string, std::string>(u"Large", large)));
    EXPECT_EQ(seen[1], (std::pair<std::u16string, std::string>(u"Odd", odd)));

    // The longest name without room for its null, and data one byte short.
    std::uint32_t length = longest_name, size = longest_data;
    EXPECT_EQ(os::reg_enum_value(key, 0, name.data(), length, nullptr, data.data(), &size), os::error_more_data);
    length = longest_name + 1;
    size = longest_data - 1;
    EXPECT_EQ(os::reg_enum_value(key, 0, name.data(), length, nullptr, data.data(), &size), os::error_more_data);
    EXPECT_EQ(size, longest_data);
}

TEST_F(ContractRegistry, DeletingValuesAndKeys) {
    const os::Hkey parent = create(u"");
    const os::Hkey child = create(u"Child");
    create(u"Child\\Grandchild");
    set(child, u"Value", os::reg_binary, "x");

    EXPECT_EQ(os::reg_delete_value(child, u"VALUE"), os::error_success);
    EXPECT_EQ(os::reg_delete_value(child, u"Value"), os::error_file_not_found);
    EXPECT_EQ(os::reg_delete_key(parent, u"Child"), os::error_access_denied);  // it has a subkey
    EXPECT_EQ(os::reg_delete_key(parent, u"Missing"), os::error_file_not_found);
    EXPECT_EQ(os::reg_delete_key(parent, u"Child\\Grandchild"), os::error_success);
    EXPECT_EQ(os::reg_delete_key(os::hkey_current_user, path(u"child")), os::error_success);

    // The handle still open to the deleted key now fails.
    std::uint32_t size = 0;
    EXPECT_EQ(os::reg_query_value_ex(child, u"Value", nullptr, nullptr, &size), os::error_key_deleted);
    EXPECT_EQ(os::reg_set_value_ex(child, u"Value", os::reg_binary, nullptr, 0), os::error_key_deleted);
    os::Hkey reopened = 0;
    EXPECT_EQ(os::reg_open_key_ex(parent, u"Child", os::key_read, reopened), os::error_file_not_found);
}

TEST_F(ContractRegistry, DeleteKeyExRemovesAnEmptyKeyInTheNamedView) {
    create(u"Empty");
    const auto result = os::reg_delete_key_ex(os::hkey_current_user, path(u"Empty"),
                                              os::key_all_access | os::key_wow64_64key, 0);
    ASSERT_EQ(result, os::error_success);
    os::Hkey reopened = 0;
    EXPECT_EQ(os::reg_open_key_ex(os::hkey_current_user, path(u"Empty"), os::key_read, reopened),
              os::error_file_not_found);
}

// A symbolic link key, made as REG_OPTION_CREATE_LINK makes one, leading to a
// target key with a value and a subkey. Its target is named from the native
// root of the user's hive, found as the HKEY_USERS subkey that holds the scratch key.
class ContractRegistryLink : public ContractRegistry {
protected:
    void SetUp() override {
        ContractRegistry::SetUp();
        parent = create(u"");
        const os::Hkey target = create(u"Target");
        create(u"Target\\Sub");
        set(target, u"Data", os::reg_sz, to_utf16le_bytes(std::u16string(u"target") + u'\0'));
        os::Hkey link = 0;
        ASSERT_EQ(os::reg_create_key_ex(os::hkey_current_user, path(u"Link"), os::key_all_access | os::key_create_link,
                                        link, os::reg_option_create_link),
                  os::error_success);
        open_keys.push_back(link);
        set(link, u"SymbolicLinkValue", os::reg_link, to_utf16le_bytes(u"\\Registry\\User\\" + user_key() + u"\\" + path(u"Target")));
    }

    static std::u16string user_key() {
        char16_t name[256];
        for (std::uint32_t index = 0;; ++index) {
            std::uint32_t length = 256;
            if (os::reg_enum_key_ex(os::hkey_users, index, name, length) != os::error_success) return {};
            const std::u16string user(name, length);
            os::Hkey probe = 0;
            if (os::reg_open_key_ex(os::hkey_users, user + u"\\" + path(u"Target\\Sub"), os::key_read, probe) ==
                os::error_success) {
                os::reg_close_key(probe);
                return user;
            }
        }
    }

    os::Hkey open(const std::u16string& below_scratch, std::uint32_t options) {
        os::Hkey key = 0;
        EXPECT_EQ(os::reg_open_key_ex(os::hkey_current_user, path(below_scratch), os::key_all_access, key, options),
                  os::error_success);
        open_keys.push_back(key);
        return key;
    }

    static bool exists(const std::u16string& below_scratch) {
        os::Hkey key = 0;
        if (os::reg_open_key_ex(os::hkey_current_user, path(below_scratch), os::key_read, key,
                                os::reg_option_open_link) != os::error_success)
            return false;
        os::reg_close_key(key);
        return true;
    }

    os::Hkey parent = 0;
};

TEST_F(ContractRegistryLink, OpeningFollowsTheLinkUnlessTheLinkItselfIsAskedFor) {
    EXPECT_EQ(sub_keys(parent), (std::vector<std::u16string>{u"Link", u"Target"}));

    const os::Hkey followed = open(u"Link", 0);
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(os::reg_query_value_ex(followed, u"Data", &type, nullptr, &size), os::error_success);
    EXPECT_EQ(sub_keys(followed), (std::vector<std::u16string>{u"Sub"}));

    const os::Hkey itself = open(u"Link", os::reg_option_open_link);
    std::uint32_t sub_count = 9, value_count = 9;
    ASSERT_EQ(os::reg_query_info_key(itself, &sub_count, nullptr, &value_count, nullptr, nullptr), os::error_success);
    EXPECT_EQ(sub_count, 0u);
    EXPECT_EQ(value_count, 1u);
    EXPECT_EQ(os::reg_query_value_ex(itself, u"SymbolicLinkValue", &type, nullptr, &size), os::error_success);
    EXPECT_EQ(type, os::reg_link);
    EXPECT_EQ(os::reg_query_value_ex(itself, u"Data", &type, nullptr, &size), os::error_file_not_found);

    // A link on the way is followed whatever the options say.
    open(u"Link\\Sub", os::reg_option_open_link);
}

TEST_F(ContractRegistryLink, DeletingByNameRemovesTheTargetButTheHandleOfTheLinkRemovesTheLink) {
    // The target's subkey keeps it: deleting the link's name reaches the target.
    EXPECT_EQ(os::reg_delete_key(parent, u"Link"), os::error_access_denied);
    ASSERT_EQ(os::reg_delete_key(parent, u"Target\\Sub"), os::error_success);
    ASSERT_EQ(os::reg_delete_key(parent, u"Link"), os::error_success);
    EXPECT_FALSE(exists(u"Target"));
    EXPECT_TRUE(exists(u"Link"));

    create(u"Target\\Sub");
    ASSERT_EQ(os::nt_delete_key(open(u"Link", os::reg_option_open_link)), os::error_success);
    EXPECT_FALSE(exists(u"Link"));
    EXPECT_TRUE(exists(u"Target\\Sub"));
    EXPECT_EQ(sub_keys(parent), (std::vector<std::u16string>{u"Target"}));
}

}  // namespace
}  // namespace vorlix::contract
