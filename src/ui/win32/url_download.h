// Downloads one address to one file with the system's URL moniker service
// (caching, redirects, proxies and time-outs are its own).
#pragma once

#include <string>

namespace vorlix::ui {

// True when URLDownloadToFileW reported success. Any thread.
bool download_to_file(const std::u16string& address, const std::u16string& path);

}  // namespace vorlix::ui
