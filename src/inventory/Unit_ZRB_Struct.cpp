#include "inventory/Unit_ZRB_Struct.h"

#include <charconv>

namespace vorlix {

void ZRB_InstalledSoftwareList::mpu_Free() { mpu_Clean(); }

void ZRB_InstalledSoftwareList::mpu_Clean() {
    StringList().swap(mpu_list_InstalledSoftwareName);
    std::vector<InstalledSoftwarePtr>().swap(mpu_SDLarry_InstalledSoftware);
    std::unordered_map<std::u16string, InstalledSoftwarePtr>().swap(mpu_SDLMap_InstalledSoftware);
}

void ZRB_InstalledSoftwareList::mpu_Search_Clean() { StringList().swap(mpu_list_InstalledSoftwareName); }

ZRB_InstalledSoftware* ZRB_InstalledSoftwareList::find(const std::u16string& name_low) const {
    const auto found = mpu_SDLMap_InstalledSoftware.find(name_low);
    return found == mpu_SDLMap_InstalledSoftware.end() ? nullptr : found->second.get();
}

bool ZRB_InstalledSoftwareList::add(InstalledSoftwarePtr record) {
    if (!record || !mpu_SDLMap_InstalledSoftware.emplace(record->mpu_str_Name_low, record).second) return false;
    mpu_list_InstalledSoftwareName.push_back(record->mpu_str_Name_low);
    mpu_SDLarry_InstalledSoftware.push_back(std::move(record));
    return true;
}

namespace {

// "%.2f <unit>" without the C library's locale: the separator is the caller's choice.
std::u16string format_fixed2(double value, const char16_t* unit, char16_t decimal_separator) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    std::u16string text;
    for (const char* at = buffer; at != result.ptr; ++at) text.push_back(*at == '.' ? decimal_separator : char16_t(*at));
    text += u' ';
    text += unit;
    return text;
}

}  // namespace

std::u16string FormatByteSize(std::uint64_t bytes, char16_t decimal_separator) {
    constexpr std::uint64_t kb = 1024;
    constexpr std::uint64_t mb = kb * 1024;
    constexpr std::uint64_t gb = mb * 1024;
    const auto value = static_cast<double>(bytes);
    if (bytes == 0) return u"0 Byte";
    if (bytes >= gb) return format_fixed2(value / static_cast<double>(gb), u"GB", decimal_separator);
    if (bytes >= mb) return format_fixed2(value / static_cast<double>(mb), u"MB", decimal_separator);
    if (bytes >= kb) return format_fixed2(value / static_cast<double>(kb), u"KB", decimal_separator);
    const auto digits = std::to_string(bytes);
    return std::u16string(digits.begin(), digits.end()) + u" Byte";
}

}  // namespace vorlix
