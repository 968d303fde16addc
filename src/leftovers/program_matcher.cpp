#include "leftovers/program_matcher.h"

#include <algorithm>
#include <array>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "platform/os.h"

namespace vorlix {

namespace {

constexpr std::size_t drive_part_limit = 255;
const std::u16string known_folder_pattern = u"^{(905[eE]|6[dD]80|7[cC]5[aA]).+}\\\\.+$";
const std::array<std::u16string, 3> known_folder_ids = {
    u"{905e63b6-c1bf-494e-b29c-65b732d3d21a}\\",  // Program Files of the system's bitness
    u"{6D809377-6AF0-444b-8957-A3773F02200E}\\",  // 64-bit Program Files
    u"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}\\",  // 32-bit Program Files
};

bool has_tilde(const std::u16string& text) { return text.find(u'~') != std::u16string::npos; }

// The upper-cased drive letter of a path that begins with one, otherwise 0.
char16_t drive_of(const std::u16string& first_piece) {
    const auto text = Str_Trim(first_piece);
    if (text.size() != 2 || text[1] != u':') return 0;
    const auto letter = Str_UpperAscii(text.substr(0, 1)).front();
    return letter >= u'A' && letter <= u'Z' ? letter : 0;
}

// Characters no path may hold; a value with one of them names no folder of the program.
bool is_path_text(const std::u16string& text) {
    return std::none_of(text.begin(), text.end(), [](char16_t unit) {
        return unit < u' ' || unit == u'"' || unit == u'<' || unit == u'>' || unit == u'|';
    });
}

bool is_rooted(const std::u16string& path) {
    return (!path.empty() && (path[0] == u'\\' || path[0] == u'/')) || (path.size() >= 2 && path[1] == u':');
}

std::u16string join_path(const std::u16string& folder, const std::u16string& rest) {
    if (folder.empty() || is_rooted(rest)) return rest;
    return Str_EnsureTrailingBackslash(folder) + rest;
}

StringList upper_folders(const StringList& folders) {
    StringList upper;
    upper.reserve(folders.size());
    for (const auto& folder : folders) upper.push_back(Str_UpperAscii(folder));
    return upper;
}

}  // namespace

std::u16string NormalizeRegistryPath(const std::u16string& value) {
    auto text = value;
    std::replace(text.begin(), text.end(), u'"', u' ');
    if (text.find(u":\\") == std::u16string::npos || !has_tilde(text)) return text;

    StringList pieces;
    if (!SplitPieces(text, u'\\', pieces)) return text;
    // Neither a drive in the first piece nor a folder after it: no short path
    // that could be expanded, so nothing the program could own.
    const auto colon = pieces[0].find(u':');
    if (colon == std::u16string::npos || pieces.size() < 2) return {};

    auto path = Str_Trim(pieces[0].substr(colon == 0 ? 0 : colon - 1)).substr(0, drive_part_limit);
    path += u"\\" + pieces[1];
    for (std::size_t at = 2; at + 1 < pieces.size(); ++at) path += u"\\" + pieces[at];
    path = GetLongPath(path);
    if (!path.empty() && !has_tilde(pieces.back())) path += u"\\" + pieces.back();
    return path;
}

std::u16string short_form_tail(const StringList& pieces, std::size_t k) {
    auto tail = u"\\" + pieces[k];
    for (auto at = k + 1; at + 1 < pieces.size(); ++at) tail += u"\\" + pieces[at];
    return tail;
}

ProgramMatcher::ProgramMatcher(const ZRB_InstalledSoftware& record_param)
    : ProgramMatcher(record_param, nullptr, std::make_unique<const LocationGuard>(), nullptr) {}

ProgramMatcher::ProgramMatcher(const ZRB_InstalledSoftware& record_param, const LocationGuard& shared_guard,
                               const std::u16string& claimed_location)
    : ProgramMatcher(record_param, &shared_guard, nullptr, &claimed_location) {}

ProgramMatcher::ProgramMatcher(const ZRB_InstalledSoftware& record_param, const LocationGuard* shared_guard,
                               std::unique_ptr<const LocationGuard> owned_guard, const std::u16string* claimed_location)
    : record(record_param),
      own_guard(std::move(owned_guard)),
      guard(shared_guard ? *shared_guard : *own_guard),
      location(claimed_location ? *claimed_location : guard.claimable(record_param.mpu_str_InstallLocation)),
      program_files_x86(Sys_GetEnvironmentVariable(u"programfiles(x86)")),
      program_files_w6432(Sys_GetEnvironmentVariable(u"ProgramW6432")),
      folders(upper_folders(record_param.mpu_SDLarry_Folders)) {}

bool ProgramMatcher::location_claims(const std::u16string& joined) const {
    return !location.empty() && claims_at_boundary(Str_UpperFull(joined), Str_UpperFull(location));
}

bool ProgramMatcher::RefersToProgram(const std::u16string& value) const {
    // What refers to another program's folder is that program's, even inside this one's folder.
    return refers_to_own(value) && !guard.refers_to_others(value) &&
           !guard.refers_to_others(NormalizeRegistryPath(value));
}

bool ProgramMatcher::refers_to_own(const std::u16string& value) const {
    auto text = NormalizeRegistryPath(value);
    if (text.empty()) return false;

    if (RegEx_IsMatchText(text, known_folder_pattern)) {
        for (const auto& id : known_folder_ids) text = Str_RemoveText(text, id);
        if (!is_path_text(text)) return false;
        if (location_claims(join_path(program_files_x86, text)) ||
            location_claims(join_path(program_files_w6432, text)))
            return true;
    }

    StringList pieces;
    SplitPieces(text, u'\\', pieces);
    const auto short_piece = std::find_if(pieces.rbegin(), pieces.rend(), has_tilde);
    if (short_piece == pieces.rend()) return folders_claim(text, 0, 0);
    const auto k = static_cast<std::size_t>(pieces.rend() - short_piece);  // one past the short piece
    // A short file name in a long folder: nothing of the path is left to compare.
    if (k > pieces.size() - 1) return false;
    // Tails compare only on the program's drive: a network path or another drive is never the program's.
    const auto drive = drive_of(pieces.front());
    return drive != 0 && folders_claim(short_form_tail(pieces, k), k, drive);
}

bool ProgramMatcher::folders_claim(const std::u16string& text, std::size_t k, char16_t drive) const {
    const auto upper = Str_UpperAscii(text);
    return k == 0 ? folders.claims(upper) : cut_folders(k, drive).claims(upper);
}

const FolderAutomaton& ProgramMatcher::cut_folders(std::size_t k, char16_t drive) const {
    auto& slot = folders_from_piece[{k, drive}];
    if (!slot) {
        StringList cut, pieces;
        for (const auto& folder : record.mpu_SDLarry_Folders) {
            SplitPieces(folder, u'\\', pieces);
            if (pieces.size() > k && drive_of(pieces.front()) == drive)
                cut.push_back(Str_UpperAscii(short_form_tail(pieces, k)));
        }
        slot = std::make_unique<FolderAutomaton>(cut);
    }
    return *slot;
}

}  // namespace vorlix
