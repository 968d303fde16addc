// Reads what a user (or a screen reader) can see of the running vorlix.exe:
// its windows, their places and texts, the program list's rows and any
// message box. Besides Task Manager's close request it sends no input: the GUI
// tier clicks and types with xdotool.
//
//   vorlix_gui_probe state          key=value lines: window rectangle, rows, first visible row,
//                                   focus row, who owns the list's image lists, loading window,
//                                   message box, whether the window is enabled and shown,
//                                   keyboard focus, categories and tabs (enabled, selected or
//                                   unavailable), the active card, a leftover list's row height and
//                                   check-box width, Scan Leftovers, the tip overlay, the About window
//   vorlix_gui_probe rows           one line per visible row: its name
//   vorlix_gui_probe row-texts      one line per visible row: what a screen reader reads of it,
//                                   name|publisher|version
//   vorlix_gui_probe leftovers      one line per row of the visible leftover list: 1 or 0 (its check
//                                   box), a space, its path
//   vorlix_gui_probe texts          the texts of the visible labels, one a line
//   vorlix_gui_probe clipped        the visible labels whose text, measured in their font, exceeds
//                                   their box (exit code 1 when there is one)
//   vorlix_gui_probe point WHAT     screen point to click: search-edit, top-band, row-button:INDEX,
//                                   button:TEXT (Refresh, Search, Close, a category name such as Adobe,
//                                   Start Uninstall, Scan Leftovers, ...), label:TEXT (a visible label
//                                   of any window of the program), leftover-check:INDEX, tip-close
//   vorlix_gui_probe msgbox         the open message box's text, the centre of each button and the default one
//   vorlix_gui_probe windows        number of window objects the program owns
//   vorlix_gui_probe close          what Task Manager's "End task" does: posts WM_CLOSE
//   vorlix_gui_probe wait-loaded N  returns once the window shows N rows and no loading window
//                                   (polls in-process, so that timing it costs the program nothing)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

HWND main_window() { return FindWindowW(L"VorlixMain", nullptr); }

std::wstring text_of(HWND hwnd) {
    wchar_t buffer[1024] = L"";
    GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

std::wstring class_of(HWND hwnd) {
    wchar_t buffer[256] = L"";
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

BOOL CALLBACK collect_child(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, &collect_child, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND visible_child(HWND parent, const std::wstring& class_name, const std::wstring& text, bool any_text) {
    for (HWND child : descendants(parent)) {
        if (IsWindowVisible(child) && _wcsicmp(class_of(child).c_str(), class_name.c_str()) == 0 &&
            (any_text || text_of(child) == text)) {
            return child;
        }
    }
    return nullptr;
}

HWND list_view(HWND main) { return visible_child(main, L"SysListView32", L"", true); }

// Runs a list-view message whose structure must live in the program's memory.
template <class T>
bool remote(HWND list, UINT message, WPARAM wparam, T& value, std::size_t extra = 0) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr) {
        return false;
    }
    const std::size_t size = sizeof(T) + extra;
    auto* memory = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    bool ok = memory != nullptr && WriteProcessMemory(process, memory, &value, sizeof(T), nullptr);
    if (ok) {
        SendMessageW(list, message, wparam, reinterpret_cast<LPARAM>(memory));
        ok = ReadProcessMemory(process, memory, &value, sizeof(T), nullptr) != FALSE;
    }
    if (memory != nullptr) {
        VirtualFreeEx(process, memory, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return ok;
}

std::wstring row_name(HWND list, int index, int column = 0) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr) {
        return L"";
    }
    constexpr int chars = 512;
    auto* memory =
        static_cast<BYTE*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + chars * 2, MEM_COMMIT, PAGE_READWRITE));
    std::wstring name;
    if (memory != nullptr) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(memory + sizeof(LVITEMW));
        item.cchTextMax = chars;
        WriteProcessMemory(process, memory, &item, sizeof item, nullptr);
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory));
        wchar_t buffer[chars] = L"";
        ReadProcessMemory(process, memory + sizeof(LVITEMW), buffer, sizeof buffer - 2, nullptr);
        name = buffer;
        VirtualFreeEx(process, memory, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return name;
}

void print_point(POINT point) { std::printf("%ld %ld\n", point.x, point.y); }

POINT centre(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND message_box() {
    HWND dialog = FindWindowW(L"#32770", L"Vorlix");
    return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
}

HWND visible_top(const wchar_t* class_name) {
    HWND window = FindWindowW(class_name, nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// The card a user sees, told by what it holds.
const char* active_card(HWND main) {
    const std::pair<const wchar_t*, const char*> marks[] = {{L"Refresh", "step1"},
                                                            {L"Start Uninstall", "step2"},
                                                            {L"Scan Leftovers", "waiting"},
                                                            {L"Delete Leftovers", "step3"}};
    for (const auto& [button, card] : marks) {
        if (visible_child(main, L"Button", button, false) != nullptr) {
            return card;
        }
    }
    return "analysing";
}

// The program's label windows: the main window's, the About window's and the overlay's.
std::vector<HWND> labels(HWND main) {
    std::vector<HWND> found;
    for (HWND top : {main, visible_top(L"VorlixAbout"), visible_top(L"VorlixTip")}) {
        if (top == nullptr) {
            continue;
        }
        for (HWND child : descendants(top)) {
            if (IsWindowVisible(child) && _wcsicmp(class_of(child).c_str(), L"Static") == 0) {
                found.push_back(child);
            }
        }
    }
    return found;
}

// How a screen reader announces a category or tab button: a disabled one as
// unavailable, a checked (pressed) one as selected.
const char* choice_state(HWND button) {
    if (!IsWindowEnabled(button)) {
        return "unavailable";
    }
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED ? "selected" : "enabled";
}

int state(HWND main) {
    RECT r;
    GetWindowRect(main, &r);
    std::printf("rect=%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    HWND list = list_view(main);
    std::printf("rows=%d\n", list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : -1);
    std::printf("top=%d\n", list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0)) : -1);
    std::printf("focus-row=%d\n",
                list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                                MAKELPARAM(LVNI_FOCUSED, 0)))
                                : -1);
    // Who destroys the list's image lists: the list itself, or the program (shared).
    if (list != nullptr) {
        std::printf("list-images=%s\n", (GetWindowLongW(list, GWL_STYLE) & LVS_SHAREIMAGELISTS) != 0 ? "shared" : "owned");
    }
    HWND loading = FindWindowW(L"VorlixLoading", nullptr);
    std::printf("loading=%d\n", loading != nullptr && IsWindowVisible(loading) ? 1 : 0);
    std::printf("msgbox=%d\n", message_box() != nullptr ? 1 : 0);
    std::printf("enabled=%d\n", IsWindowEnabled(main) ? 1 : 0);
    // The window exists, empty and enabled, a while before it is first shown.
    std::printf("visible=%d\n", IsWindowVisible(main) ? 1 : 0);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread) && thread.hwndFocus != nullptr) {
        std::printf("focus=%ls %ls\n", class_of(thread.hwndFocus).c_str(), text_of(thread.hwndFocus).c_str());
    }
    std::printf("card=%s\n", active_card(main));
    if (HWND scan = visible_child(main, L"Button", L"Scan Leftovers", false); scan != nullptr) {
        std::printf("scan=%s\n", IsWindowEnabled(scan) ? "enabled" : "disabled");
    }
    // A leftover list's first row: its height and the width of its check box
    // (the state image leads the row, the label follows it).
    if (list != nullptr && (SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0) {
        RECT row{}, label{};
        row.left = LVIR_BOUNDS;
        label.left = LVIR_ICON;
        if (remote(list, LVM_GETITEMRECT, 0, row) && remote(list, LVM_GETITEMRECT, 0, label)) {
            std::printf("leftover-row=%ld %ld\n", row.bottom - row.top, label.left - row.left);
        }
    }
    std::printf("tip=%d\n", visible_top(L"VorlixTip") != nullptr ? 1 : 0);
    std::printf("about=%d\n", visible_top(L"VorlixAbout") != nullptr ? 1 : 0);
    const std::string card = active_card(main);
    for (HWND child : descendants(main)) {
        if (!IsWindowVisible(child) || class_of(child) != L"Button") {
            continue;
        }
        const std::wstring text = text_of(child);
        if (card == "step1" && text != L"Refresh" && text != L"Search" && text != L"About" && text != L"Minimize" &&
            text != L"Close") {
            std::printf("category=%ls %s\n", text.c_str(), choice_state(child));
        } else if (text == L"Files/Folders" || text == L"Registry Entries") {
            std::printf("tab=%ls %s\n", text.c_str(), choice_state(child));
        }
    }
    return 0;
}

int point(HWND main, const std::wstring& what) {
    HWND card = nullptr;
    for (HWND child : descendants(main)) {
        if (class_of(child) == L"VorlixCard" && IsWindowVisible(child)) {
            card = child;
        }
    }
    if (what == L"top-band") {
        RECT r;
        GetWindowRect(main, &r);
        print_point(POINT{r.left + (r.right - r.left) / 3, r.top + (r.bottom - r.top) / 20});
        return 0;
    }
    if (what == L"search-edit") {
        print_point(centre(visible_child(card, L"Edit", L"", true)));
        return 0;
    }
    if (what.rfind(L"button:", 0) == 0) {
        // An open About window lies above the main window.
        HWND about = visible_top(L"VorlixAbout");
        HWND button = visible_child(about != nullptr ? about : main, L"Button", what.substr(7), false);
        if (button == nullptr) {
            return 1;
        }
        print_point(centre(button));
        return 0;
    }
    if (what.rfind(L"label:", 0) == 0) {
        for (HWND label : labels(main)) {
            if (text_of(label) == what.substr(6)) {
                print_point(centre(label));
                return 0;
            }
        }
        return 1;
    }
    if (what == L"tip-close") {
        HWND tip = visible_top(L"VorlixTip");
        if (tip == nullptr) {
            return 1;
        }
        // The close image: 16 by 16 at 719,529 of the 1000-wide overlay (design units).
        RECT r;
        GetWindowRect(tip, &r);
        const int width = r.right - r.left;
        print_point(POINT{r.left + MulDiv(727, width, 1000), r.top + MulDiv(537, width, 1000)});
        return 0;
    }
    if (what.rfind(L"leftover-check:", 0) == 0) {
        HWND list = list_view(main);
        RECT item{};
        item.left = LVIR_BOUNDS;
        const int index = _wtoi(what.c_str() + 15);
        if (list == nullptr || !remote(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), item)) {
            return 1;
        }
        // The check box leads the row's first column.
        POINT at{item.left + 10, (item.top + item.bottom) / 2};
        ClientToScreen(list, &at);
        print_point(at);
        return 0;
    }
    if (what.rfind(L"row-button:", 0) == 0) {
        HWND list = list_view(main);
        RECT item{};
        item.left = LVIR_BOUNDS;
        const int index = _wtoi(what.c_str() + 11);
        if (list == nullptr || !remote(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), item)) {
            return 1;
        }
        // The button sits at 750..780 by 26..56 of an 80-high row (design units).
        const int row_height = item.bottom - item.top;
        POINT at{item.left + MulDiv(765, row_height, 80), item.top + row_height / 2 + 1};
        ClientToScreen(list, &at);
        print_point(at);
        return 0;
    }
    return 2;
}

int msgbox() {
    HWND dialog = message_box();
    if (dialog == nullptr) {
        return 1;
    }
    for (HWND child : descendants(dialog)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        if (class_of(child) == L"Button") {
            const POINT at = centre(child);
            std::printf("button=%ls %ld %ld\n", text_of(child).c_str(), at.x, at.y);
            if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                std::printf("default=%ls\n", text_of(child).c_str());
            }
        } else if (class_of(child) == L"Static" && !text_of(child).empty()) {
            std::printf("text=%ls\n", text_of(child).c_str());
        }
    }
    return 0;
}

// Every visible label whose text, measured in the label's own font, does not
// fit its box; the exit code tells whether there was one.
int clipped(HWND main) {
    int found = 0;
    for (HWND label : labels(main)) {
        const auto height = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(label, L"VorlixFontHeight")));
        const auto weight = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(label, L"VorlixFontWeight")));
        const std::wstring text = text_of(label);
        if (height == 0 || text.empty()) {
            continue;
        }
        HFONT font = CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
        RECT box;
        GetClientRect(label, &box);
        const bool wraps = (GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
        RECT needed{0, 0, wraps ? box.right : 0, 0};
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        DeleteObject(font);
        // A box grown past its parent's edge is cut there.
        RECT parent;
        GetClientRect(GetParent(label), &parent);
        RECT in_parent = box;
        MapWindowPoints(label, GetParent(label), reinterpret_cast<POINT*>(&in_parent), 2);
        box.right = std::min(box.right, box.right - (in_parent.right - parent.right));
        box.bottom = std::min(box.bottom, box.bottom - (in_parent.bottom - parent.bottom));
        if (in_parent.left < 0 || in_parent.top < 0 || needed.right > box.right || needed.bottom > box.bottom) {
            std::printf("clipped=%ls: needs %ld x %ld, box %ld x %ld\n", text.c_str(), needed.right, needed.bottom,
                        box.right, box.bottom);
            ++found;
        }
    }
    return found == 0 ? 0 : 1;
}

struct WindowCount {
    DWORD pid;
    int windows;
};

BOOL CALLBACK count_windows_of_process(HWND top, LPARAM data) {
    auto& count = *reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(top, &owner);
    if (owner == count.pid) {
        count.windows += 1 + static_cast<int>(descendants(top).size());
    }
    return TRUE;
}

int window_count(HWND main) {
    WindowCount count{0, 0};
    GetWindowThreadProcessId(main, &count.pid);
    EnumWindows(&count_windows_of_process, reinterpret_cast<LPARAM>(&count));
    std::printf("windows=%d\n", count.windows);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        return 2;
    }
    const std::wstring command = argv[1];
    if (command == L"msgbox") {
        return msgbox();
    }
    if (command == L"wait-loaded" && argc >= 3) {
        const LRESULT expected = _wtoi(argv[2]);
        for (;;) {
            HWND main = main_window();
            HWND list = main != nullptr ? list_view(main) : nullptr;
            HWND loading = FindWindowW(L"VorlixLoading", nullptr);
            if (list != nullptr && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == expected &&
                (loading == nullptr || !IsWindowVisible(loading))) {
                return 0;
            }
            Sleep(20);
        }
    }
    HWND main = main_window();
    if (main == nullptr) {
        std::printf("no window\n");
        return 1;
    }
    if (command == L"state") {
        return state(main);
    }
    if (command == L"windows") {
        return window_count(main);
    }
    if (command == L"close") {
        return PostMessageW(main, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"rows" || command == L"row-texts") {
        HWND list = list_view(main);
        const int count = list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            if (command == L"rows") {
                std::printf("%ls\n", row_name(list, i).c_str());
            } else {
                std::printf("%ls|%ls|%ls\n", row_name(list, i).c_str(), row_name(list, i, 1).c_str(),
                            row_name(list, i, 2).c_str());
            }
        }
        return 0;
    }
    if (command == L"leftovers") {
        HWND list = list_view(main);
        const int count = list != nullptr ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            const auto image = SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK);
            std::printf("%d %ls\n", image == INDEXTOSTATEIMAGEMASK(2) ? 1 : 0, row_name(list, i, 1).c_str());
        }
        return 0;
    }
    if (command == L"clipped") {
        return clipped(main);
    }
    if (command == L"texts") {
        for (HWND label : labels(main)) {
            std::printf("%ls\n", text_of(label).c_str());
        }
        return 0;
    }
    if (command == L"point" && argc >= 3) {
        return point(main, argv[2]);
    }
    return 2;
}
