#include "app/web_links.h"

namespace vorlix {

namespace {

// ShellExecute's results up to 32 are errors.
constexpr std::intptr_t last_shell_error = 32;

bool shell_open(os::Handle owner, const std::u16string& file, const std::u16string& parameters) {
    os::Handle process = 0;
    const auto result = os::shell_execute(owner, u"open", file, parameters, {}, os::sw_shownormal, &process);
    if (process) os::close_handle(process);
    return result > last_shell_error;
}

}  // namespace

void open_web_address(os::Handle owner, const std::u16string& address) {
    if (shell_open(owner, address, {})) return;
    for (const auto* browser : {u"msedge.exe", u"Chrome.exe", u"firefox.exe", u"iexplore.exe"})
        if (shell_open(owner, browser, address)) return;
}

void open_mail_address(os::Handle owner, const std::u16string& address) {
    shell_open(owner, u"mailto:" + address, {});
}

}  // namespace vorlix
