// Opening the maker's addresses from the update label and the About window.
#pragma once

#include <string>

#include "platform/os.h"

namespace vorlix {

// Opens a web address: with the default handler, else with the first of
// Edge, Chrome, Firefox and Internet Explorer that starts.
void open_web_address(os::Handle owner, const std::u16string& address);

// Opens "mailto:" with the address; no browser stands in when no mail
// program is registered.
void open_mail_address(os::Handle owner, const std::u16string& address);

}  // namespace vorlix
