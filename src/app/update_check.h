// The update check: the version the maker's update document names, and
// whether it is newer than the running one.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/main_view.h"

namespace vorlix {

inline constexpr char16_t update_document_file[] = u"new_update.json";

using VersionNumbers = std::array<std::uint32_t, 4>;

// "3.0.0.186": exactly four decimal numbers joined by dots; nothing else.
std::optional<VersionNumbers> parse_version(const std::u16string& text);

// True only when both texts are versions and the published one is greater.
bool is_newer_version(const std::u16string& published, const std::u16string& running);

// The text of the member "version" of the JSON object in the file (UTF-8 or
// UTF-16 with a byte-order mark, else the ANSI code page); empty when the
// file is missing or is not such an object.
std::u16string read_update_version(const std::u16string& path);

// One whole check, on the calling worker: deletes the local copy in the
// folder (ending with a backslash), downloads the document to it and calls
// `announce` when it names a newer version. Failures end it silently.
void run_update_check(const DownloadFunction& download, const std::u16string& running_version,
                      const std::u16string& folder, const std::u16string& address,
                      const std::function<void()>& announce);

}  // namespace vorlix
