#include "app/update_check.h"

#include <nlohmann/json.hpp>

#include "app/result_files.h"
#include "platform/os.h"
#include "platform/portable/utf.h"

namespace vorlix {

std::optional<VersionNumbers> parse_version(const std::u16string& text) {
    VersionNumbers numbers{};
    std::size_t part = 0;
    std::size_t digits = 0;
    std::uint64_t value = 0;
    for (const char16_t c : text) {
        if (c == u'.') {
            if (digits == 0 || part == 3) return std::nullopt;
            numbers[part++] = static_cast<std::uint32_t>(value);
            digits = 0;
            value = 0;
        } else if (c >= u'0' && c <= u'9') {
            value = value * 10 + static_cast<std::uint64_t>(c - u'0');
            if (value > 0xFFFFFFFFu) return std::nullopt;
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || part != 3) return std::nullopt;
    numbers[3] = static_cast<std::uint32_t>(value);
    return numbers;
}

bool is_newer_version(const std::u16string& published, const std::u16string& running) {
    const auto offered = parse_version(published);
    const auto own = parse_version(running);
    return offered && own && *offered > *own;
}

std::u16string read_update_version(const std::u16string& path) {
    std::string bytes;
    if (path.empty() || !os::read_file_bytes(path, bytes)) return {};
    const auto document = nlohmann::json::parse(to_utf8(decode_text(bytes)), nullptr, false);
    if (!document.is_object()) return {};
    const auto member = document.find("version");
    if (member == document.end() || !member->is_string()) return {};
    return from_utf8(member->get<std::string>());
}

void run_update_check(const DownloadFunction& download, const std::u16string& running_version,
                      const std::u16string& folder, const std::u16string& address,
                      const std::function<void()>& announce) {
    if (running_version.empty() || folder.empty()) return;
    const std::u16string local_copy = folder + update_document_file;
    // An earlier copy must never stand in for a failed download.
    os::delete_file(local_copy);
    if (!download || !download(address, local_copy)) return;
    if (is_newer_version(read_update_version(local_copy), running_version)) announce();
}

}  // namespace vorlix
