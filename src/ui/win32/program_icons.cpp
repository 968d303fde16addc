#include "ui/win32/program_icons.h"

#include <objbase.h>
#include <commctrl.h>
#include <shellapi.h>

#include <map>
#include <mutex>
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
// Workers read and store icons while the window draws them: one lock over
// the lists and the cache (never held while a file is read).
std::mutex icons_lock;

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

// Takes ownership of `icon`. Called with icons_lock held.
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
    // The shell's icon lookup needs COM on the calling thread, a worker's too.
    thread_local const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)com;
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

// The icon at `index` of a program, library or icon file, in the picture
// closest to width by height (nullptr: the file holds none there).
HICON sized_icon(const std::u16string& path, std::int32_t index, int width, int height) {
    HICON icon = nullptr;
    const UINT found = PrivateExtractIconsW(wide(path), index, width, height, &icon, nullptr, 1, LR_DEFAULTCOLOR);
    return found == 1 ? icon : nullptr;
}

// The icon the source names, read from disk; none when the read failed with an
// error (nullptr when there is no icon).
std::optional<HICON> extract(const IconSource& source, int width, int height) {
    switch (source.read) {
    case IconRead::none:
        return nullptr;
    case IconRead::embedded_in_place:
        // Read from the file where it lies: nothing is copied or written beside it.
        return sized_icon(source.path, 0, width, height);
    case IconRead::program_or_shell:
        if (HICON own = sized_icon(source.path, 0, width, height); own != nullptr) {
            return own;
        }
        [[fallthrough]];
    case IconRead::shell_or_associated: {
        HICON icon = shell_icon(source.path);
        return icon != nullptr ? icon : associated_icon(source.path);
    }
    case IconRead::shell:
        return shell_icon(source.path);
    case IconRead::indexed:
        return sized_icon(source.path, source.index, width, height);
    case IconRead::icon_file: {
        HANDLE icon = LoadImageW(nullptr, wide(source.path), IMAGE_ICON, width, height, LR_LOADFROMFILE);
        if (icon == nullptr) {
            return std::nullopt;
        }
        return static_cast<HICON>(icon);
    }
    }
    return nullptr;
}

}  // namespace

// Many programs name the same icon file (msiexec.exe above all): each source
// is read once per run and its picture shared, which spares the shell calls
// and one icon handle per program. A failed read is not kept: the next
// listing of the program tries again (the file may be back, the share online).
std::optional<ProgramIcon> read_program_icon(const IconSource& source, int width, int height) {
    static std::map<std::tuple<IconRead, std::u16string, std::int32_t, int, int>, ProgramIcon> read;
    const auto key = std::tuple{source.read, source.path, source.index, width, height};
    {
        const std::lock_guard lock(icons_lock);
        if (const auto found = read.find(key); found != read.end()) {
            return found->second;
        }
    }
    const std::optional<HICON> extracted = extract(source, width, height);
    if (!extracted) {
        return std::nullopt;
    }
    const std::lock_guard lock(icons_lock);
    return read.emplace(key, store(*extracted)).first->second;
}

ProgramIcon resized_program_icon(const ProgramIcon& icon, int width, int height) {
    if (icon.empty()) {
        return icon;
    }
    const std::lock_guard lock(icons_lock);
    HICON original = ImageList_GetIcon(stored(icon)->list, stored(icon)->index, ILD_NORMAL);
    HICON resized = static_cast<HICON>(CopyImage(original, IMAGE_ICON, width, height, 0));
    DestroyIcon(original);
    return store(resized);
}

void draw_program_icon(HDC dc, const ProgramIcon& icon, int x, int y, int width, int height) {
    if (icon.empty()) {
        return;
    }
    const std::lock_guard lock(icons_lock);
    if (icon.width == width && icon.height == height) {
        ImageList_Draw(stored(icon)->list, stored(icon)->index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    HICON picture = ImageList_GetIcon(stored(icon)->list, stored(icon)->index, ILD_NORMAL);
    DrawIconEx(dc, x, y, picture, width, height, 0, nullptr, DI_NORMAL);
    DestroyIcon(picture);
}

}  // namespace vorlix::ui
