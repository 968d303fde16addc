#include "ui/win32/report_list.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "platform/win32/win_common.h"
#include "ui/win32/dpi.h"
#include "ui/win32/paint.h"

namespace vorlix::ui {

namespace {

constexpr int check_column_width = 30;
constexpr int path_column_width = 960;
constexpr int check_box_size = 13;

// State image 2 is the ticked box, 1 the empty one.
UINT check_state(bool ticked) { return INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1); }

// The empty and the ticked box drawn at the DPI: the list view's own boxes
// keep the size of the scale the program started at.
HIMAGELIST check_boxes(HWND list, UINT dpi) {
    const int side = scale_to_dpi(check_box_size, dpi);
    HIMAGELIST boxes = ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 2, 0);
    HDC screen = GetDC(list);
    HDC dc = CreateCompatibleDC(screen);
    HTHEME theme = OpenThemeData(list, L"BUTTON");
    for (const bool ticked : {false, true}) {
        HBITMAP picture = CreateCompatibleBitmap(screen, side, side);
        HGDIOBJ old = SelectObject(dc, picture);
        RECT box{0, 0, side, side};
        fill(dc, box, surface(0xFFFFFF));
        if (theme != nullptr) {
            DrawThemeBackground(theme, dc, BP_CHECKBOX, ticked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL, &box, nullptr);
        } else {
            DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (ticked ? DFCS_CHECKED : 0));
        }
        SelectObject(dc, old);
        ImageList_Add(boxes, picture, nullptr);
        DeleteObject(picture);
    }
    if (theme != nullptr) {
        CloseThemeData(theme);
    }
    DeleteDC(dc);
    ReleaseDC(list, screen);
    return boxes;
}

}  // namespace

void ReportList::create(HWND parent, int id, const std::wstring& caption, TForm_Main& logic, LeftoverList list) {
    logic_ = &logic;
    list_ = list;
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, caption.c_str(),
                            WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER, 0, 0, 0, 0,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr);
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT |
                                                 LVS_EX_DOUBLEBUFFER);
    ListView_SetBkColor(hwnd_, surface(0xFFFFFF));
    ListView_SetTextBkColor(hwnd_, surface(0xFFFFFF));
    ListView_SetTextColor(hwnd_, ink(0x000000));
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(L"");
    ListView_InsertColumn(hwnd_, 0, &column);
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    ListView_InsertColumn(hwnd_, 1, &column);
}

void ReportList::place(const RECT& r, UINT dpi, HFONT font) const {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    place_control(hwnd_, r, dpi);
    // The list destroys the boxes it holds; those it held before are ours.
    if (HIMAGELIST old = ListView_SetImageList(hwnd_, check_boxes(hwnd_, dpi), LVSIL_STATE); old != nullptr) {
        ImageList_Destroy(old);
    }
    ListView_SetColumnWidth(hwnd_, 0, scale_to_dpi(check_column_width, dpi));
    ListView_SetColumnWidth(hwnd_, 1, scale_to_dpi(path_column_width, dpi));
    fit_path_column();
}

// The path column ends at the client area's edge, which moves in when the
// vertical scroll bar shows: no horizontal scroll bar for a few pixels.
void ReportList::fit_path_column() const {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = client.right - ListView_GetColumnWidth(hwnd_, 0);
    if (width > 0 && ListView_GetColumnWidth(hwnd_, 1) != width) {
        ListView_SetColumnWidth(hwnd_, 1, width);
    }
}

void ReportList::rows_changed() {
    const StringList& rows = logic_->leftover_rows(list_);
    filling_ = true;
    int count = ListView_GetItemCount(hwnd_);
    if (static_cast<std::size_t>(count) > rows.size()) {
        ListView_DeleteAllItems(hwnd_);
        count = 0;
    }
    for (std::size_t row = static_cast<std::size_t>(count); row < rows.size(); ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_STATE;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<wchar_t*>(L"");
        item.state = check_state(logic_->leftover_ticked(list_, row));
        item.stateMask = LVIS_STATEIMAGEMASK;
        const int added = ListView_InsertItem(hwnd_, &item);
        ListView_SetItemText(hwnd_, added, 1, const_cast<wchar_t*>(os::win::wide(rows[row])));
        // Some list views drop the state given at insertion.
        ListView_SetItemState(hwnd_, added, item.state, LVIS_STATEIMAGEMASK);
    }
    filling_ = false;
    fit_path_column();
}

void ReportList::set_redraw(bool redraw) const {
    SendMessageW(hwnd_, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    if (redraw) {
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

bool ReportList::notify(const NMHDR& header) {
    if (header.hwndFrom != hwnd_) {
        return false;
    }
    if (header.code == LVN_ITEMCHANGED && !filling_) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        const UINT before = change.uOldState & LVIS_STATEIMAGEMASK;
        const UINT after = change.uNewState & LVIS_STATEIMAGEMASK;
        if ((change.uChanged & LVIF_STATE) != 0 && change.iItem >= 0 && before != 0 && after != 0 && before != after) {
            logic_->set_leftover_ticked(list_, static_cast<std::size_t>(change.iItem), after == check_state(true));
        }
    }
    return true;
}

}  // namespace vorlix::ui
