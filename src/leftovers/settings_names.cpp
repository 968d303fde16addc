#include "leftovers/settings_names.h"

#include <algorithm>

#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/Unit_ZRB_func_Uninstall.h"
#include "leftovers/location_guard.h"

namespace vorlix {

namespace {

// Names that many programs, or Windows itself, give their folders and keys:
// such a folder is nobody's own. The one list of them.
constexpr const char16_t* generic_names[] = {
    u"MICROSOFT", u"WINDOWS", u"COMMON", u"COMMON FILES", u"SHARED", u"DATA", u"SETTINGS", u"TEMP", u"CACHE",
    u"CACHES", u"PROGRAMS", u"PROGRAM FILES", u"UPDATE", u"UPDATES", u"UPDATER", u"LOGS", u"CONFIG",
    u"CONFIGURATION", u"USER", u"USERS", u"DEFAULT", u"PUBLIC", u"LOCAL", u"LOCALLOW", u"ROAMING", u"APPDATA",
    u"APPLICATION DATA", u"PACKAGES", u"BACKUP", u"BACKUPS", u"PLUGINS", u"TOOLS", u"SYSTEM", u"SETUP",
    u"INSTALL", u"INSTALLER", u"UNINSTALL", u"HELP", u"FILES", u"SOFTWARE", u"COMPONENTS", u"SUPPORT",
    u"PROFILES", u"SESSIONS", u"CRASHDUMPS", u"CRASH REPORTS", u"DOWNLOADS", u"DOCUMENTS", u"DESKTOP",
    u"CLASSES", u"CLIENTS", u"POLICIES", u"WOW6432NODE", u"REGISTEREDAPPLICATIONS", u"ODBC", u"WINE",
    u"VIRTUALSTORE", u"APPLICATION", u"APPLICATIONS", u"PROGRAM", u"SERVICES", u"DRIVERS", u"RUNTIME"};

// Legal forms at the end of a publisher, compared without their dots and commas.
constexpr const char16_t* legal_forms[] = {u"INC",  u"LTD",  u"LLC",  u"GMBH", u"CORPORATION", u"CORP", u"CO",
                                           u"SA",   u"LIMITED", u"AG", u"BV",  u"PLC",  u"SRL",  u"SARL", u"SAS",
                                           u"KG",   u"PTY",  u"OY",   u"AB",   u"&"};

constexpr const char16_t* architectures[] = {u"X64",   u"X86",    u"X86_64", u"AMD64",  u"ARM64",  u"WIN64",
                                             u"WIN32", u"64-BIT", u"32-BIT", u"64BIT",  u"32BIT"};

bool is_digit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }
bool is_lower(char16_t unit) { return unit >= u'a' && unit <= u'z'; }
bool is_upper(char16_t unit) { return unit >= u'A' && unit <= u'Z'; }

bool listed(const std::u16string& upper, std::initializer_list<const char16_t*> list) {
    return std::any_of(list.begin(), list.end(), [&upper](const char16_t* item) { return upper == item; });
}
template <std::size_t count>
bool listed(const std::u16string& upper, const char16_t* const (&list)[count]) {
    return std::any_of(std::begin(list), std::end(list), [&upper](const char16_t* item) { return upper == item; });
}

// "2.3.1", "v2", "V10.0".
bool is_version(const std::u16string& token) {
    const auto digits = token.substr(!token.empty() && (token[0] == u'v' || token[0] == u'V') ? 1 : 0);
    if (digits.empty() || !is_digit(digits.front()) || !is_digit(digits.back())) return false;
    for (std::size_t at = 0; at < digits.size(); ++at)
        if (!is_digit(digits[at]) && !(digits[at] == u'.' && is_digit(digits[at - 1]))) return false;
    return true;
}

// "en-US": a language and its country, cased as Windows writes them.
bool is_language(const std::u16string& token) {
    return token.size() == 5 && is_lower(token[0]) && is_lower(token[1]) && token[2] == u'-' && is_upper(token[3]) &&
           is_upper(token[4]);
}

std::u16string without_parentheses(const std::u16string& token) {
    return token.size() > 2 && token.front() == u'(' && token.back() == u')' ? token.substr(1, token.size() - 2)
                                                                             : token;
}

StringList words(const std::u16string& text) {
    StringList found;
    for_each_piece(text, u' ', [&found](std::u16string_view word) {
        found.emplace_back(word);
        return true;
    });
    return found;
}

std::u16string joined(const StringList& tokens) {
    std::u16string text;
    for (const auto& token : tokens) text += (text.empty() ? u"" : u" ") + token;
    return text;
}

// Removes trailing words while `strip` says so; the first word always stays.
template <typename Strip>
std::u16string strip_trailing(const std::u16string& text, Strip strip) {
    auto tokens = words(text);
    while (tokens.size() > 1 && strip(tokens)) tokens.pop_back();
    return joined(tokens);
}

void add_once(StringList& list, const std::u16string& text) {
    const auto name = Str_Trim(text);
    if (name.empty()) return;
    const auto upper = Str_UpperFull(name);
    const auto held = [&upper](const std::u16string& one) { return Str_UpperFull(one) == upper; };
    if (std::none_of(list.begin(), list.end(), held)) list.push_back(name);
}

std::u16string last_name(const std::u16string& path) {
    const auto trimmed = Str_ExcludeTrailingBackslashes(Str_Trim(path));
    return trimmed.substr(trimmed.rfind(u'\\') + 1);
}

}  // namespace

std::u16string bare_display_name(const std::u16string& display_name) {
    bool after_version = false;
    return strip_trailing(display_name, [&after_version](const StringList& tokens) {
        const auto& last = tokens.back();
        const auto upper = Str_UpperAscii(without_parentheses(last));
        // "version" goes only with the number that followed it.
        const bool strip = is_version(last) || listed(upper, architectures) ||
                           is_language(without_parentheses(last)) || listed(upper, {u"-", u",", u"\u2013"}) ||
                           (after_version && listed(upper, {u"VERSION", u"VER.", u"V."}));
        after_version = is_version(last);
        return strip;
    });
}

std::u16string bare_publisher(const std::u16string& publisher) {
    auto bare = strip_trailing(publisher, [](const StringList& tokens) {
        auto upper = Str_UpperAscii(tokens.back());
        std::erase_if(upper, [](char16_t unit) { return unit == u'.' || unit == u','; });
        return upper.empty() || listed(upper, legal_forms);
    });
    while (!bare.empty() && (bare.back() == u',' || bare.back() == u'.' || bare.back() == u' ')) bare.pop_back();
    return bare;
}

NameRules::NameRules(const KnownFolders& known) : known_(known) {
    for (const auto& folder : known.shared_upper) known_names_.insert(Str_UpperFull(last_name(folder)));
}

bool NameRules::is_telling(const std::u16string& name) const {
    if (name.size() < 4 || name != Str_Trim(name) || name.back() == u'.') return false;
    if (name.find_first_of(u"\\/:*?\"<>|") != std::u16string::npos) return false;
    if (std::any_of(name.begin(), name.end(), [](char16_t unit) { return unit < u' '; })) return false;
    const auto upper = Str_UpperFull(name);
    return !listed(upper, generic_names) && known_names_.count(upper) == 0;
}

ProgramNames NameRules::names_of(const ZRB_InstalledSoftware& record, bool with_location) const {
    ProgramNames names;
    add_once(names.names, bare_display_name(record.mpu_str_Name));
    const auto location = Str_Trim(expand_placeholders(record.mpu_str_InstallLocation));
    const auto folder = last_name(location);
    if (with_location && !folder.empty() && is_local_drive_path(location)) {
        add_once(names.names, folder);
        // A vendor's folder holds the program's; Program Files or a profile folder holds anything.
        const auto parent = location.substr(0, location.rfind(folder));
        if (known_.shared_or_above_upper.count(Str_UpperAscii(Str_EnsureTrailingBackslash(parent))) == 0)
            add_once(names.vendors, last_name(parent));
    }
    auto key = last_name(record.mpu_str_InstallRegPath);
    if (key.size() > 4 && Str_UpperAscii(key).ends_with(u"_IS1")) key.resize(key.size() - 4);
    // A product code names no folder.
    if (packed_product_code(key).empty()) add_once(names.names, key);
    add_once(names.vendors, bare_publisher(record.mpu_str_Publisher));
    return names;
}

StringList NameRules::names_held_by(const ZRB_InstalledSoftware& other) const {
    const auto names = names_of(other);
    StringList held;
    for (const auto& name : names.names) add_once(held, name);
    for (const auto& vendor : names.vendors) {
        add_once(held, vendor);
        add_once(held, words(vendor).front());
    }
    for (auto folder : {expand_placeholders(other.mpu_str_InstallLocation),
                        folder_of_file(PlanUninstallCommand(other.mpu_str_UninstallString).file),
                        folder_of_file(other.mpu_str_DisplayIcon)}) {
        // The folder's own name, then its parent's.
        for (int level = 0; level < 2; ++level) {
            folder = Str_ExcludeTrailingBackslashes(std::move(folder));
            add_once(held, last_name(folder));
            const auto slash = folder.rfind(u'\\');
            folder.resize(slash == std::u16string::npos ? 0 : slash);
        }
    }
    return held;
}

}  // namespace vorlix
