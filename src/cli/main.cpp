// vorlix-cli entry point: arguments arrive as UTF-16 (wmain on Windows),
// results leave as UTF-8.
#include <cstdio>
#include <exception>

#include "cli/cli_commands.h"
#include "platform/portable/utf.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

int finish(const vorlix::cli::Output& output) {
    std::fwrite(output.out.data(), 1, output.out.size(), stdout);
    std::fwrite(output.err.data(), 1, output.err.size(), stderr);
    std::fflush(stdout);
    return output.exit_code;
}

template <typename Char, typename Convert>
int run_main(int argc, Char** argv, Convert convert) {
    vorlix::cli::Arguments arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(convert(argv[i]));
    try {
        return finish(vorlix::cli::run(arguments));
    } catch (const std::exception& error) {
        return finish({1, {}, std::string("vorlix-cli: ") + error.what() + "\n"});
    }
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
    // Bytes out exactly as produced: the text is already UTF-8.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return run_main(argc, argv, [](const wchar_t* text) {
        return std::u16string(reinterpret_cast<const char16_t*>(text));
    });
}
#else
int main(int argc, char** argv) {
    return run_main(argc, argv, [](const char* text) { return vorlix::from_utf8(text); });
}
#endif
