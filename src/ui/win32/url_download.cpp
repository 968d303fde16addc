#include "ui/win32/url_download.h"

#include <windows.h>

#include <urlmon.h>

#include "platform/win32/win_common.h"

namespace vorlix::ui {

bool download_to_file(const std::u16string& address, const std::u16string& path) {
    // The worker's thread may not have COM yet.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const HRESULT result = URLDownloadToFileW(nullptr, os::win::wide(address), os::win::wide(path), 0, nullptr);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return result == S_OK;
}

}  // namespace vorlix::ui
