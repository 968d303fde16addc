// The spellings under which a folder is compared with the shared folders:
// how Windows resolves the text, and the long form of its 8.3 names.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "access/string_types.h"

namespace vorlix {

// The forms of many folders in a row. GetLongPathNameW looks every component
// up again on each call, while the folders of one machine share most of
// theirs (C:\Users\<user>\AppData\..., a vendor's folder above its
// programs): here each distinct folder below an already resolved one is looked
// up once for the life of the object, which therefore lives no longer than one
// pass over the machine (a scan), and serves one thread.
class FolderForms {
public:
    // The folder upper-cased (a to z) with a trailing backslash, as Windows
    // resolves its spelling and, when it exists, in its long form.
    static StringList single(const std::u16string& folder);
    // The same forms, through the look-ups already made.
    StringList of(const std::u16string& folder);
    // The forms for a caller that only asks whether a form is `inside` a set
    // closed upwards (holding, with a folder, every folder above it): below
    // a resolved folder outside it no spelling leads back in, so the names
    // there are not looked up and stay as given. The long form then differs
    // from the whole one only below a folder outside the set, where the whole
    // one (or the lexical form, for a folder that does not exist) lies too.
    StringList of(const std::u16string& folder, const std::function<bool(const std::u16string&)>& inside);

private:
    // The long form of a lexical drive path, empty without one; `inside`
    // as for `of`, or null to resolve every name.
    std::u16string long_drive_path(const std::u16string& lexical,
                                   const std::function<bool(const std::u16string&)>* inside);
    // The long name of `name` in the resolved folder `parent` (`parent_key`
    // upper-cased); none when it does not exist.
    std::optional<std::u16string> long_name(const std::u16string& parent, const std::u16string& parent_key,
                                            std::u16string_view name);

    // The names of one folder once it is read whole, upper-cased (full case),
    // each to its long name as stored: its long names and its 8.3 names.
    struct Listing {
        unsigned asked = 0;
        bool read = false;
        std::unordered_map<std::u16string, std::u16string> long_names;
        std::unordered_map<std::u16string, std::u16string> short_names;
    };
    void read_listing(const std::u16string& parent, Listing& listing);

    // By the resolved path of the name asked for, upper-cased (a to z).
    std::unordered_map<std::u16string, std::optional<std::u16string>> names_;
    // By the resolved path of the folder asked in, upper-cased (a to z).
    std::unordered_map<std::u16string, Listing> listings_;
};

}  // namespace vorlix
