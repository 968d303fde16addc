#include "ui/win32/program_icons.h"

#include <shellapi.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace vorlix::ui {

namespace {

struct OwnedIcon {
    HICON icon;
    explicit OwnedIcon(HICON handle) : icon(handle) {}
    ~OwnedIcon() { DestroyIcon(icon); }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;
};

ProgramIcon wrap(HICON icon) {
    ProgramIcon result;
    if (icon == nullptr) {
        return result;
    }
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
        BITMAP bitmap{};
        HBITMAP measured = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
        GetObjectW(measured, sizeof bitmap, &bitmap);
        result.width = bitmap.bmWidth;
        // A monochrome icon's mask holds the AND and the XOR halves one above the other.
        result.height = info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    result.image = std::make_shared<const OwnedIcon>(icon);
    return result;
}

const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

HICON shell_icon(const std::u16string& path) {
    SHFILEINFOW info{};
    SHGetFileInfoW(wide(path), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_LARGEICON);
    return info.hIcon;
}

HICON associated_icon(const std::u16string& path) {
    std::vector<wchar_t> buffer(wide(path), wide(path) + path.size());
    buffer.resize(std::max<std::size_t>(buffer.size() + 1, MAX_PATH), L'\0');
    WORD index = 0;
    return ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer.data(), &index);
}

// ExtractIconW answers 1 for a file that is no program, icon or library.
HICON indexed_icon(const std::u16string& path, std::int32_t index) {
    HICON icon = ExtractIconW(GetModuleHandleW(nullptr), wide(path), static_cast<UINT>(index));
    return reinterpret_cast<UINT_PTR>(icon) == 1 ? nullptr : icon;
}

}  // namespace

namespace {

std::optional<ProgramIcon> read_icon_uncached(const IconSource& source) {
    switch (source.read) {
    case IconRead::none:
        return ProgramIcon{};
    case IconRead::embedded_in_place: {
        // Read from the file where it lies: nothing is copied or written beside it.
        HICON large = nullptr;
        ExtractIconExW(wide(source.path), 0, &large, nullptr, 1);
        return wrap(large);
    }
    case IconRead::shell_or_associated: {
        HICON icon = shell_icon(source.path);
        return wrap(icon != nullptr ? icon : associated_icon(source.path));
    }
    case IconRead::shell:
        return wrap(shell_icon(source.path));
    case IconRead::indexed:
        return wrap(indexed_icon(source.path, source.index));
    case IconRead::icon_file: {
        HANDLE icon = LoadImageW(nullptr, wide(source.path), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
        if (icon == nullptr) {
            return std::nullopt;
        }
        return wrap(static_cast<HICON>(icon));
    }
    }
    return ProgramIcon{};
}

}  // namespace

// Many programs name the same icon file (msiexec.exe above all): each source
// is read once per run and its picture shared, which spares the shell calls
// and one icon handle per program.
std::optional<ProgramIcon> read_program_icon(const IconSource& source) {
    static std::map<std::tuple<IconRead, std::u16string, std::int32_t>, std::optional<ProgramIcon>> read;
    auto [it, inserted] = read.try_emplace({source.read, source.path, source.index});
    if (inserted) {
        it->second = read_icon_uncached(source);
    }
    return it->second;
}

ProgramIcon resized_program_icon(const ProgramIcon& icon, int width, int height) {
    if (icon.empty()) {
        return icon;
    }
    return wrap(static_cast<HICON>(CopyImage(icon_handle(icon), IMAGE_ICON, width, height, 0)));
}

HICON icon_handle(const ProgramIcon& icon) {
    return icon.empty() ? nullptr : static_cast<const OwnedIcon*>(icon.image.get())->icon;
}

}  // namespace vorlix::ui
