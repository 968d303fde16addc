// The least registry work an inventory scan can do: every key the scan must
// read is opened once and every value of it read once with RegEnumValueW. The
// Uninstall keys in all their Wow6432Node variants (machine and user), the
// Windows Installer products with their properties, the product icons of the
// machine and of every user, the App Paths names and the DefaultIcon of every
// class. The ratio script times this against `vorlix-cli list`.
//
//   vorlix-scan-floor            the reads, then a line with what was read
//   vorlix-scan-floor --startup  nothing: the process start alone, to subtract
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

#ifdef _WIN64
constexpr REGSAM view = KEY_READ;
#else
constexpr REGSAM view = KEY_READ | KEY_WOW64_64KEY;
#endif

struct Totals {
    unsigned long keys = 0;
    unsigned long values = 0;
};
Totals totals;

HKEY open(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    return RegOpenKeyExW(root, path.c_str(), 0, view, &key) == ERROR_SUCCESS ? key : nullptr;
}

std::vector<std::wstring> subkey_names(HKEY key) {
    DWORD count = 0, longest = 0;
    std::vector<std::wstring> names;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr) != ERROR_SUCCESS)
        return names;
    std::wstring buffer(longest + 1, L'\0');
    for (DWORD index = 0; index < count; ++index) {
        DWORD length = longest + 1;
        if (RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            names.emplace_back(buffer.data(), length);
    }
    return names;
}

// Opens the key once and reads every value, name and data, once.
void read_values(HKEY root, const std::wstring& path) {
    HKEY key = open(root, path);
    if (key == nullptr) return;
    ++totals.keys;
    DWORD count = 0, longest_name = 0, longest_data = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest_name, &longest_data,
                     nullptr, nullptr);
    std::wstring name(longest_name + 1, L'\0');
    std::vector<BYTE> data(longest_data + 2);
    for (DWORD index = 0; index < count; ++index) {
        DWORD name_length = longest_name + 1, type = 0, size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, index, name.data(), &name_length, nullptr, &type, data.data(), &size) == ERROR_SUCCESS)
            ++totals.values;
    }
    RegCloseKey(key);
}

// Calls `visit(name)` for every subkey of `path`.
template <typename Visit>
void for_each_subkey(HKEY root, const std::wstring& path, Visit visit) {
    HKEY key = open(root, path);
    if (key == nullptr) return;
    ++totals.keys;
    const auto names = subkey_names(key);
    RegCloseKey(key);
    for (const auto& name : names) visit(name);
}

// The path itself and each variant with Wow6432Node after one of its components.
std::vector<std::wstring> variants(const std::wstring& path) {
    std::vector<std::wstring> parts;
    for (std::size_t start = 0; start <= path.size();) {
        auto end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::wstring> result{path};
    for (std::size_t node_after = 0; node_after + 1 < parts.size(); ++node_after) {
        std::wstring variant;
        for (std::size_t at = 0; at < parts.size(); ++at) {
            if (at > 0) variant += L'\\';
            variant += parts[at];
            if (at == node_after) variant += L"\\Wow6432Node";
        }
        result.push_back(variant);
    }
    return result;
}

// Calls `visit(variant, name)` for every subkey of every variant of `path`.
template <typename Visit>
void for_each_subkey_of_variants(HKEY root, const std::wstring& path, Visit visit) {
    for (const auto& variant : variants(path))
        for_each_subkey(root, variant, [&](const std::wstring& name) { visit(variant, name); });
}

void read_uninstall_entries() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for_each_subkey_of_variants(root, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                                    [&](const std::wstring& variant, const std::wstring& name) {
                                        read_values(root, variant + L"\\" + name);
                                    });
}

// Product properties are read below the plain path, whichever variant lists the product.
void read_installer_products() {
    const std::wstring user_data = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";
    for_each_subkey_of_variants(HKEY_LOCAL_MACHINE, user_data, [&](const std::wstring&, const std::wstring& user) {
        const auto products = user_data + L"\\" + user + L"\\Products";
        for_each_subkey_of_variants(HKEY_LOCAL_MACHINE, products, [&](const std::wstring&, const std::wstring& product) {
            read_values(HKEY_LOCAL_MACHINE, products + L"\\" + product + L"\\InstallProperties");
        });
    });
}

void read_product_icons() {
    for_each_subkey_of_variants(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Installer\\Products",
                                [](const std::wstring& variant, const std::wstring& product) {
                                    read_values(HKEY_LOCAL_MACHINE, variant + L"\\" + product);
                                });
    for_each_subkey(HKEY_USERS, L"", [](const std::wstring& user) {
        const auto products = user + L"\\Software\\Microsoft\\Installer\\Products";
        for_each_subkey(HKEY_USERS, products,
                        [&](const std::wstring& product) { read_values(HKEY_USERS, products + L"\\" + product); });
    });
}

void read_app_paths() {
    for_each_subkey_of_variants(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                                [](const std::wstring&, const std::wstring&) {});
}

void read_default_icons() {
    for_each_subkey_of_variants(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes",
                                [](const std::wstring& variant, const std::wstring& name) {
                                    read_values(HKEY_LOCAL_MACHINE, variant + L"\\" + name + L"\\DefaultIcon");
                                });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"--startup") == 0) return 0;
    read_uninstall_entries();
    read_installer_products();
    read_product_icons();
    read_app_paths();
    read_default_icons();
    std::printf("keys %lu values %lu\n", totals.keys, totals.values);
    return 0;
}
