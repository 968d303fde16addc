// Local time and the system ANSI code page.
#include "platform/win32/win_common.h"

namespace vorlix::os {

void get_local_time(SystemTime& time) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    time.year = now.wYear;
    time.month = now.wMonth;
    time.day = now.wDay;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
}

std::u16string ansi_to_wide(const std::string& bytes) {
    if (bytes.empty()) return {};
    const auto size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, win::wide(text.data()), length);
    return text;
}

}  // namespace vorlix::os
