#include "ui/win32/program_icons.h"

#include <commctrl.h>
#include <shellapi.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/win_common.h"

namespace vorlix::ui {

using os::win::wide;

namespace {

// Pictures live in one image list per pixel size, not as an icon handle per
// program: the process's GDI objects stay few however many programs there are.
// A picture keeps its slot for the whole run (the icon cache does too).
struct StoredIcon {
    HIMAGELIST list;
    int index;
};

HIMAGELIST list_for(int width, int height) {
    static std::map<std::pair<int, int>, HIMAGELIST> lists;
    HIMAGELIST& list = lists[{width, height}];
    if (list == nullptr) {
        list = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 16, 64);
    }
    return list;
}

// Takes ownership of `icon`.
ProgramIcon store(HICON icon) {
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
    HIMAGELIST list = result.width > 0 && result.height > 0 ? list_for(result.width, result.height) : nullptr;
    const int index = list != nullptr ? ImageList_AddIcon(list, icon) : -1;
    DestroyIcon(icon);
    if (index < 0) {
        return ProgramIcon{};
    }
    result.image = std::make_shared<const StoredIcon>(StoredIcon{list, index});
    return result;
}

const StoredIcon* stored(const ProgramIcon& icon) { return static_cast<const StoredIcon*>(icon.image.get()); }

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
        return store(large);
    }
    case IconRead::shell_or_associated: {
        HICON icon = shell_icon(source.path);
        return store(icon != nullptr ? icon : associated_icon(source.path));
    }
    case IconRead::shell:
        return store(shell_icon(source.path));
    case IconRead::indexed:
        return store(indexed_icon(source.path, source.index));
    case IconRead::icon_file: {
        HANDLE icon = LoadImageW(nullptr, wide(source.path), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
        if (icon == nullptr) {
            return std::nullopt;
        }
        return store(static_cast<HICON>(icon));
    }
    }
    return ProgramIcon{};
}

}  // namespace

// Many programs name the same icon file (msiexec.exe above all): each source
// is read once per run and its picture shared, which spares the shell calls
// and one icon handle per program. A failed read is not kept: the next
// listing of the program tries again (the file may be back, the share online).
std::optional<ProgramIcon> read_program_icon(const IconSource& source) {
    static std::map<std::tuple<IconRead, std::u16string, std::int32_t>, ProgramIcon> read;
    const auto key = std::tuple{source.read, source.path, source.index};
    if (const auto found = read.find(key); found != read.end()) {
        return found->second;
    }
    std::optional<ProgramIcon> icon = read_icon_uncached(source);
    if (icon) {
        read.emplace(key, *icon);
    }
    return icon;
}

ProgramIcon resized_program_icon(const ProgramIcon& icon, int width, int height) {
    if (icon.empty()) {
        return icon;
    }
    HICON original = ImageList_GetIcon(stored(icon)->list, stored(icon)->index, ILD_NORMAL);
    HICON resized = static_cast<HICON>(CopyImage(original, IMAGE_ICON, width, height, 0));
    DestroyIcon(original);
    return store(resized);
}

void draw_program_icon(HDC dc, const ProgramIcon& icon, int x, int y, int width, int height) {
    if (icon.empty()) {
        return;
    }
    if (icon.width == width && icon.height == height) {
        ImageList_Draw(stored(icon)->list, stored(icon)->index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    HICON picture = ImageList_GetIcon(stored(icon)->list, stored(icon)->index, ILD_NORMAL);
    DrawIconEx(dc, x, y, picture, width, height, 0, nullptr, DI_NORMAL);
    DestroyIcon(picture);
}

}  // namespace vorlix::ui
