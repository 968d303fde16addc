// The commands of vorlix-cli, callable from tests.
#pragma once

#include <string>
#include <vector>

namespace vorlix::cli {

struct Output {
    int exit_code = 0;
    std::string out;  // UTF-8, for stdout
    std::string err;  // UTF-8, for stderr
};

using Arguments = std::vector<std::u16string>;

// Runs one command line (arguments without the program name).
Output run(const Arguments& arguments);

// Small helpers shared by the command files.
Output usage_error(const std::string& message);
bool take_flag(Arguments& arguments, const std::u16string& flag);

}  // namespace vorlix::cli
