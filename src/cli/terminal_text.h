// Text from the registry or the file system as a terminal may show it.
#pragma once

#include <string>

namespace vorlix::cli {

// UTF-8 with control characters and bidirectional formatting characters
// written as escapes ("\n", "\x1B", "\u202E"): a newline in a name would
// break a table, an escape sequence would drive the terminal, and a
// right-to-left override would show a name other than the one stored.
std::string terminal_text(const std::u16string& text);

}  // namespace vorlix::cli
