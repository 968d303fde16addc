// File and folder behaviour both backends share, in a scratch folder. Folder
// listings are compared as sets: Wine lists in the host file system's order.
#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "contract/contract_env.h"
#include "platform/os.h"

namespace vorlix::contract {
namespace {

class ContractFiles : public ContractTest {
protected:
    std::u16string at(const std::u16string& name) const { return folder + name; }

    std::set<std::u16string> find_all(const std::u16string& pattern) const {
        std::set<std::u16string> names;
        os::FindData data;
        const os::Handle find = os::find_first_file(folder + pattern, data);
        if (find == os::invalid_handle_value) return names;
        do names.insert(data.name);
        while (os::find_next_file(find, data));
        EXPECT_EQ(os::get_last_error(), os::error_no_more_files);
        os::find_close(find);
        return names;
    }

    const std::u16string folder = scratch_folder();
};

TEST_F(ContractFiles, FoldersAreCreatedOnceAndRemovedWhenEmpty) {
    ASSERT_TRUE(os::create_directory(at(u"Sub")));
    EXPECT_FALSE(os::create_directory(at(u"sub")));
    EXPECT_EQ(os::get_last_error(), os::error_already_exists);
    EXPECT_FALSE(os::create_directory(at(u"Missing\\Sub")));
    EXPECT_EQ(os::get_last_error(), os::error_path_not_found);

    ASSERT_TRUE(os::write_file_bytes(at(u"Sub\\file.txt"), "x"));
    EXPECT_FALSE(os::remove_directory(at(u"Sub")));
    EXPECT_EQ(os::get_last_error(), os::error_dir_not_empty);
    EXPECT_FALSE(os::remove_directory(at(u"Sub\\file.txt")));  // not a folder
    ASSERT_TRUE(os::delete_file(at(u"Sub\\file.txt")));
    EXPECT_TRUE(os::remove_directory(at(u"Sub\\")));
    EXPECT_EQ(os::get_file_attributes(at(u"Sub")), os::invalid_file_attributes);
}

TEST_F(ContractFiles, AttributesTellFilesFromFoldersAndMissingPaths) {
    ASSERT_TRUE(os::create_directory(at(u"Dir")));
    ASSERT_TRUE(os::write_file_bytes(at(u"Dir\\data.bin"), std::string("\0\1\2", 3)));

    EXPECT_TRUE(os::get_file_attributes(at(u"Dir")) & os::file_attribute_directory);
    EXPECT_TRUE(os::get_file_attributes(at(u"dir\\")) & os::file_attribute_directory);
    const std::u16string forward = at(u"DIR/DATA.BIN");
    const auto file = os::get_file_attributes(forward);
    ASSERT_NE(file, os::invalid_file_attributes);
    EXPECT_FALSE(file & os::file_attribute_directory);

    // The \\?\ prefix, "." and ".." steps (even after a missing folder): one place.
    for (const auto& spelling : {u"\\\\?\\" + at(u"Dir\\data.bin"), at(u"Dir\\.\\..\\Dir\\data.bin"),
                                 at(u"Missing\\..\\Dir\\data.bin")})
        EXPECT_EQ(os::get_file_attributes(spelling), file);
    EXPECT_EQ(os::get_file_attributes(at(u"Dir\\d*")), os::invalid_file_attributes);
    EXPECT_EQ(os::get_last_error(), os::error_invalid_name);
    EXPECT_EQ(os::get_file_attributes(at(u"Dir\\none.bin")), os::invalid_file_attributes);
    EXPECT_EQ(os::get_last_error(), os::error_file_not_found);
    EXPECT_EQ(os::get_file_attributes(at(u"None\\none.bin")), os::invalid_file_attributes);
    EXPECT_EQ(os::get_last_error(), os::error_path_not_found);

    std::string bytes;
    ASSERT_TRUE(os::read_file_bytes(forward, bytes));
    EXPECT_EQ(bytes, std::string("\0\1\2", 3));
    EXPECT_EQ(os::probe_open_for_read(forward), os::error_success);
    EXPECT_EQ(os::probe_open_for_read(at(u"Dir\\none.bin")), os::error_file_not_found);
}

TEST_F(ContractFiles, ReadOnlyFilesResistDeletionUntilTheAttributeGoes) {
    const std::u16string path = at(u"locked.txt");
    ASSERT_TRUE(os::write_file_bytes(path, "keep"));
    ASSERT_TRUE(os::set_file_attributes(path, os::file_attribute_readonly));
    EXPECT_TRUE(os::get_file_attributes(path) & os::file_attribute_readonly);
    EXPECT_FALSE(os::delete_file(path));
    EXPECT_EQ(os::get_last_error(), os::error_access_denied);
    ASSERT_TRUE(os::set_file_attributes(path, os::file_attribute_normal));
    EXPECT_TRUE(os::delete_file(path));
    EXPECT_FALSE(os::delete_file(path));
    EXPECT_EQ(os::get_last_error(), os::error_file_not_found);
}

TEST_F(ContractFiles, FindListsDotsEntriesAndWildcardMatches) {
    ASSERT_TRUE(os::write_file_bytes(at(u"a.txt"), "1"));
    ASSERT_TRUE(os::write_file_bytes(at(u"B.TXT"), "22"));
    ASSERT_TRUE(os::write_file_bytes(at(u"c.log"), ""));
    ASSERT_TRUE(os::create_directory(at(u"sub")));

    EXPECT_EQ(find_all(u"*"), (std::set<std::u16string>{u".", u"..", u"a.txt", u"B.TXT", u"c.log", u"sub"}));
    EXPECT_EQ(find_all(u"*.*"), find_all(u"*"));
    EXPECT_EQ(find_all(u"*.txt"), (std::set<std::u16string>{u"a.txt", u"B.TXT"}));
    EXPECT_EQ(find_all(u"?.log"), (std::set<std::u16string>{u"c.log"}));
    EXPECT_EQ(find_all(u"*.TXT"), find_all(u"*.txt"));
    EXPECT_EQ(find_all(u"SUB.*"), (std::set<std::u16string>{u"sub"}));  // "name.*" finds a name without extension

    os::FindData data;
    const os::Handle exact = os::find_first_file(at(u"b.txt"), data);
    ASSERT_NE(exact, os::invalid_handle_value);
    EXPECT_EQ(data.name, u"B.TXT");
    EXPECT_EQ(data.size, 2u);
    EXPECT_FALSE(os::find_next_file(exact, data));
    EXPECT_EQ(os::get_last_error(), os::error_no_more_files);
    os::find_close(exact);

    EXPECT_EQ(os::find_first_file(at(u"*.none"), data), os::invalid_handle_value);
    EXPECT_EQ(os::get_last_error(), os::error_file_not_found);
    EXPECT_EQ(os::find_first_file(at(u"nowhere\\*"), data), os::invalid_handle_value);
    EXPECT_EQ(os::get_last_error(), os::error_path_not_found);
    // A drive root lists no dot entries.
    const os::Handle root = os::find_first_file(folder.substr(0, 3) + u"*", data);
    ASSERT_NE(root, os::invalid_handle_value);
    do EXPECT_TRUE(data.name != u"." && data.name != u"..");
    while (os::find_next_file(root, data));
    os::find_close(root);
    // A folder written with its trailing backslash names no entry to find.
    EXPECT_EQ(os::find_first_file(at(u"sub\\"), data), os::invalid_handle_value);
    EXPECT_EQ(os::get_last_error(), os::error_file_not_found);
}

TEST_F(ContractFiles, NamesKeepAnyUnicodeCharacter) {
    const std::u16string name = u"\u05E2\u05D1\u05E8\u05D9\u05EA \u03A9 \U0001D11E.txt";
    ASSERT_TRUE(os::write_file_bytes(at(name), "u"));
    EXPECT_EQ(find_all(u"*.txt"), (std::set<std::u16string>{name}));
    EXPECT_TRUE(os::delete_file(at(name)));
}

TEST_F(ContractFiles, CopyAndMoveRefuseToOverwriteWhenTold) {
    ASSERT_TRUE(os::write_file_bytes(at(u"one"), "first"));
    ASSERT_TRUE(os::write_file_bytes(at(u"two"), "second"));

    EXPECT_FALSE(os::copy_file(at(u"one"), at(u"two"), true));
    ASSERT_TRUE(os::copy_file(at(u"one"), at(u"three"), true));
    ASSERT_TRUE(os::copy_file(at(u"one"), at(u"two"), false));
    std::string bytes;
    ASSERT_TRUE(os::read_file_bytes(at(u"two"), bytes));
    EXPECT_EQ(bytes, "first");

    EXPECT_FALSE(os::move_file(at(u"one"), at(u"three")));
    EXPECT_EQ(os::get_last_error(), os::error_already_exists);
    ASSERT_TRUE(os::move_file(at(u"one"), at(u"four")));
    EXPECT_EQ(os::get_file_attributes(at(u"one")), os::invalid_file_attributes);
    ASSERT_TRUE(os::read_file_bytes(at(u"four"), bytes));
    EXPECT_EQ(bytes, "first");
}

TEST_F(ContractFiles, PartsOfAFileAreReadAtTheirOffsetsThroughOneOpen) {
    ASSERT_TRUE(os::write_file_bytes(at(u"parts"), "0123456789"));
    std::vector<std::string> parts;
    ASSERT_TRUE(os::read_file_parts(at(u"parts"), [&parts](const os::FilePartReader& read) {
        for (const auto& [offset, size] : {std::pair{6, 3}, {0, 2}, {8, 5}, {10, 1}, {4096, 4}}) {
            std::string bytes = "stale";
            EXPECT_TRUE(read(offset, size, bytes));
            parts.push_back(bytes);
        }
    }));
    EXPECT_EQ(parts, (std::vector<std::string>{"678", "01", "89", "", ""}));

    bool used = false;
    EXPECT_FALSE(os::read_file_parts(at(u"missing"), [&used](const os::FilePartReader&) { used = true; }));
    EXPECT_EQ(os::get_last_error(), os::error_file_not_found);
    EXPECT_FALSE(used);
}

TEST_F(ContractFiles, LongPathNamesFollowTheBufferProtocol) {
    ASSERT_TRUE(os::create_directory(at(u"Long Folder Name")));
    const std::u16string path = at(u"Long Folder Name");
    const auto needed = os::get_long_path_name(path, nullptr, 0);
    EXPECT_EQ(needed, path.size() + 1);
    std::u16string buffer(needed, u'\0');
    const auto length = os::get_long_path_name(path, buffer.data(), needed);
    ASSERT_EQ(length, path.size());
    EXPECT_TRUE(same_ignoring_case(buffer.substr(0, length), path));

    EXPECT_EQ(os::get_long_path_name(at(u"Missing Folder"), buffer.data(), needed), 0u);
    EXPECT_EQ(os::get_last_error(), os::error_file_not_found);
}

TEST_F(ContractFiles, FinalPathsAreWhereTheFileSystemReallyIs) {
    ASSERT_TRUE(os::create_directory(at(u"Final Folder")));
    ASSERT_TRUE(os::write_file_bytes(at(u"Final Folder\\Data.txt"), "d"));
    const std::u16string expected = u"\\\\?\\" + at(u"Final Folder");
    std::u16string final_path;
    // Another case, "." and ".." steps, forward slashes: one place.
    for (const auto& spelling : {at(u"Final Folder"), at(u"final folder\\"), at(u"FINAL FOLDER\\.\\..\\Final Folder"),
                                 at(u"Final Folder/")}) {
        ASSERT_EQ(os::get_final_path_name(spelling, final_path), os::error_success);
        EXPECT_TRUE(same_ignoring_case(final_path, expected));
        EXPECT_TRUE(final_path.ends_with(u"\\Final Folder"));  // the name as stored
    }
    ASSERT_EQ(os::get_final_path_name(at(u"final folder\\DATA.TXT"), final_path), os::error_success);
    EXPECT_TRUE(final_path.ends_with(u"\\Final Folder\\Data.txt"));

    std::u16string short_path(1024, u'\0');
    short_path.resize(os::get_short_path_name(at(u"Final Folder"), short_path.data(), 1024));
    ASSERT_FALSE(short_path.empty());
    ASSERT_EQ(os::get_final_path_name(short_path, final_path), os::error_success);
    EXPECT_TRUE(final_path.ends_with(u"\\Final Folder"));

    EXPECT_EQ(os::get_final_path_name(at(u"Missing"), final_path), os::error_file_not_found);
    EXPECT_EQ(os::get_final_path_name(at(u"Missing\\Below"), final_path), os::error_path_not_found);
    EXPECT_TRUE(final_path.empty());
}

}  // namespace
}  // namespace vorlix::contract
