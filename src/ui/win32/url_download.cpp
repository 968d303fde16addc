#include "ui/win32/url_download.h"

#include <windows.h>

#include <urlmon.h>

namespace vorlix::ui {

bool download_to_file(const std::u16string& address, const std::u16string& path) {
    // The worker's thread may not have COM yet.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const HRESULT result = URLDownloadToFileW(nullptr, reinterpret_cast<const wchar_t*>(address.c_str()),
                                              reinterpret_cast<const wchar_t*>(path.c_str()), 0, nullptr);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return result == S_OK;
}

}  // namespace vorlix::ui
