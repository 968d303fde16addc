#include "inventory/folder_forms.h"

#include <algorithm>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "platform/os.h"

namespace vorlix {

namespace {

// Only a name that could be an 8.3 short name (at most eight characters, a
// dot and three more), a wildcard, or a name beyond ASCII (case is then the
// file system's to decide) can come back other than in another ASCII case.
// A short name needs no `~`: NTFS lets SetFileShortName give a folder any
// valid 8.3 name no other entry of its folder holds, long or short, so a
// plain "Vendor12" may name "Some Other Vendor". Such a name is therefore
// always asked for (once per folder, through FolderForms::of); since long and
// short names share one namespace per folder, the answer is unambiguous.
bool name_may_differ(std::u16string_view name) {
    const auto last = name.find_last_not_of(u". ");
    if (last == std::u16string_view::npos) return false;
    name = name.substr(0, last + 1);
    const auto dot = name.rfind(u'.');
    const auto base = dot == std::u16string_view::npos ? name.size() : dot;
    const auto extension = dot == std::u16string_view::npos ? 0 : name.size() - dot - 1;
    if (base <= 8 && extension <= 3) return true;
    return std::any_of(name.begin(), name.end(),
                       [](char16_t unit) { return unit >= 0x80 || unit == u'*' || unit == u'?'; });
}

// The name as the folder stores it when the spelling differs from it in ASCII
// case at most (the forms are upper-cased alike, and the stored spelling is
// found at once later on); otherwise the spelling, as GetLongPathNameW keeps
// a name that differs from the stored one in case beyond ASCII.
std::u16string kept_spelling(std::u16string spelled, std::u16string stored) {
    return Str_UpperAscii(spelled) == Str_UpperAscii(stored) ? stored : spelled;
}

// The folder as Windows resolves its spelling: backslashes only, no \\?\ or
// \\.\ prefix (\\?\UNC\ becomes \\), no empty or "." components, trailing
// dots and blanks of a component dropped, ".." taken back (never above the
// drive, nor above the share of a network path), a trailing backslash.
std::u16string lexical_folder(const std::u16string& folder) {
    auto text = Str_Trim(folder);
    std::replace(text.begin(), text.end(), u'/', u'\\');
    if (text.starts_with(u"\\\\?\\UNC\\"))
        text.erase(2, 6);
    else if (text.starts_with(u"\\\\?\\") || text.starts_with(u"\\\\.\\"))
        text.erase(0, 4);
    const bool network = text.starts_with(u"\\\\");
    if (!network && (text.size() < 2 || text[1] != u':')) return Str_EnsureTrailingBackslash(text);
    // The server and the share stay whatever follows them.
    const std::size_t fixed = network ? 2 : 0;
    // Built in one pass: ".." cuts the result back to its previous backslash.
    auto result = network ? std::u16string(u"\\\\") : text.substr(0, 2) + u"\\";
    result.reserve(text.size() + 2);
    std::size_t parts = 0;
    for (std::size_t start = 2; start <= text.size();) {
        auto end = text.find(u'\\', start);
        if (end == std::u16string::npos) end = text.size();
        const std::u16string_view part(text.data() + start, end - start);
        if (part == u"..") {
            if (parts > fixed) {
                result.erase(result.rfind(u'\\', result.size() - 2) + 1);
                --parts;
            }
        } else if (part != u".") {
            const auto last = part.find_last_not_of(u". ");
            if (last != std::u16string_view::npos) {
                result.append(part.substr(0, last + 1)).push_back(u'\\');
                ++parts;
            }
        }
        start = end + 1;
    }
    return result;
}

// Whether asking for the long form can tell anything the spelling does not.
bool long_form_may_differ(const std::u16string& path) {
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == u':') start = 2;
    while (start <= path.size()) {
        auto end = path.find_first_of(u"\\/", start);
        if (end == std::u16string::npos) end = path.size();
        if (name_may_differ(std::u16string_view(path).substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

// Without the \\?\ prefix Win32 takes paths shorter than this only.
constexpr std::size_t max_path = 260;

// A full drive path whose names Win32 takes as they are goes name by name;
// anything else (a network share, a \\?\ prefix, a drive-relative path,
// reserved characters, an overlong path) is left to GetLongPathNameW whole.
bool resolvable_by_name(const std::u16string& folder, const std::u16string& lexical) {
    const auto text = Str_Trim(folder);
    const auto letter = text.empty() ? u'\0' : static_cast<char16_t>(text[0] | 0x20);
    const bool drive = letter >= u'a' && letter <= u'z' && text.size() >= 3 && text[1] == u':' &&
                       (text[2] == u'\\' || text[2] == u'/');
    return drive && lexical.size() < max_path && std::none_of(lexical.begin() + 2, lexical.end(), [](char16_t unit) {
               return unit < 0x20 || unit == u'<' || unit == u'>' || unit == u'"' || unit == u'|' || unit == u':';
           });
}

// The lexical form first; the long form follows when asking can tell more
// and the folder exists (`long_form` gives it, empty when there is none).
template <class LongForm>
StringList forms_of(const std::u16string& folder, LongForm&& long_form) {
    const auto lexical = lexical_folder(folder);
    StringList forms{Str_UpperAscii(lexical)};
    if (!long_form_may_differ(folder)) return forms;
    const auto long_text = long_form(lexical);
    if (!long_text.empty()) forms.push_back(Str_UpperAscii(lexical_folder(long_text)));
    return forms;
}

}  // namespace

StringList FolderForms::single(const std::u16string& folder) {
    return forms_of(folder, [&folder](const std::u16string&) { return GetLongPath(folder); });
}

StringList FolderForms::of(const std::u16string& folder) {
    return forms_of(folder, [this, &folder](const std::u16string& lexical) {
        return resolvable_by_name(folder, lexical) ? long_drive_path(lexical, nullptr) : GetLongPath(folder);
    });
}

StringList FolderForms::of(const std::u16string& folder, const std::function<bool(const std::u16string&)>& inside) {
    return forms_of(folder, [this, &folder, &inside](const std::u16string& lexical) {
        return resolvable_by_name(folder, lexical) ? long_drive_path(lexical, &inside) : GetLongPath(folder);
    });
}

std::u16string FolderForms::long_drive_path(const std::u16string& lexical,
                                            const std::function<bool(const std::u16string&)>* inside) {
    // GetLongPathNameW refuses wildcards.
    if (lexical.find_first_of(u"*?") != std::u16string::npos) return {};
    // The lexical form is "X:\" and names each ending with a backslash. The
    // file system is asked in the spelling given (or found), never upper-cased:
    // Wine's file system finds a name spelled as stored at once, and any other
    // spelling only by reading its whole folder; the memo goes by upper case.
    auto path = lexical.substr(0, 3);
    for (std::size_t start = 3, end; start < lexical.size(); start = end + 1) {
        end = lexical.find(u'\\', start);
        const std::u16string_view name(lexical.data() + start, end - start);
        if (name_may_differ(name)) {
            const auto parent_key = Str_UpperAscii(path);
            // The rest as given: it stays outside whatever its names stand for.
            if (inside && !(*inside)(parent_key)) return path + lexical.substr(start);
            auto [known, added] = names_.try_emplace(parent_key + Str_UpperAscii(std::u16string(name)));
            if (added) known->second = long_name(path, parent_key, name);
            if (!known->second) return {};
            path += *known->second;
        } else {
            path += name;
        }
        path += u'\\';
    }
    return path;
}

// A folder holding many programs (a vendor's, Program Files) is asked about
// again and again: from its third distinct name on, one listing answers every
// name found in it, which costs the file system one open instead of one per
// name. A name the listing lacks is still asked alone, so that the file
// system's own case rules, not ours, decide that it is missing.
constexpr unsigned names_before_listing = 2;

std::optional<std::u16string> FolderForms::long_name(const std::u16string& parent, const std::u16string& parent_key,
                                                     std::u16string_view name) {
    std::u16string spelled(name);
    auto& listing = listings_[parent_key];
    if (++listing.asked > names_before_listing) {
        if (!listing.read) read_listing(parent, listing);
        const auto upper = Str_UpperFull(spelled);
        // A long name first, as a look-up of the name finds it first.
        if (const auto found = listing.long_names.find(upper); found != listing.long_names.end())
            return kept_spelling(std::move(spelled), found->second);
        if (const auto found = listing.short_names.find(upper); found != listing.short_names.end())
            return found->second;
    }
    os::FindData found;
    const auto find = os::find_first_file(parent + spelled, found);
    if (find == os::invalid_handle_value) return std::nullopt;
    os::find_close(find);
    // Another name (the long one of an 8.3 name) comes back as stored.
    if (Str_UpperFull(found.name) != Str_UpperFull(spelled)) return std::move(found.name);
    return kept_spelling(std::move(spelled), std::move(found.name));
}

void FolderForms::read_listing(const std::u16string& parent, Listing& listing) {
    listing.read = true;
    os::FindData found;
    const auto find = os::find_first_file(parent + u"*", found);
    if (find == os::invalid_handle_value) return;
    do {
        listing.long_names.emplace(Str_UpperFull(found.name), found.name);
        if (!found.alternate_name.empty()) listing.short_names.emplace(Str_UpperFull(found.alternate_name), found.name);
    } while (os::find_next_file(find, found));
    os::find_close(find);
}

}  // namespace vorlix
