#include "ui/win32/program_rows.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/win32/win_common.h"
#include "ui/win32/artwork.h"
#include "ui/win32/program_icons.h"

namespace vorlix::ui {

using os::win::wide;

namespace {

// Row layout in design units (96 DPI), inside a row of 829 by 80.
constexpr RECT logo{24, 24, 56, 56};
constexpr RECT button{750, 26, 780, 56};
constexpr int text_left = 80;
constexpr int text_right = 740;
// A row the mouse has left once: the classic button face.
constexpr std::uint32_t left_row_colour = 0xF0F0F0;

}  // namespace

void ProgramRows::create(HWND parent, int id, const TForm_Main& logic, UninstallClick on_uninstall) {
    logic_ = &logic;
    on_uninstall_ = std::move(on_uninstall);
    hwnd_ = CreateWindowExW(0, WC_LISTVIEWW, L"Programs",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LVS_REPORT | LVS_OWNERDATA |
                                LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                // The row-height image list is ours to destroy (on WM_NCDESTROY).
                                LVS_SHAREIMAGELISTS,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT);
    ListView_SetBkColor(hwnd_, surface(background_colour));
    // Publisher and version are columns of no width: the row paints them
    // itself, a screen reader reads them after the name.
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    for (int index = 0; index < 3; ++index) {
        ListView_InsertColumn(hwnd_, index, &column);
    }
    SetWindowSubclass(hwnd_, &ProgramRows::subclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

void ProgramRows::place(const RECT& r, UINT dpi) {
    dpi_ = dpi;
    fonts_.create(dpi);
    // A report view's rows are as high as its small images.
    HIMAGELIST previous = row_height_list_;
    row_height_list_ = ImageList_Create(1, px(row_design_height), ILC_COLOR32, 0, 0);
    ListView_SetImageList(hwnd_, row_height_list_, LVSIL_SMALL);
    if (previous != nullptr) {
        ImageList_Destroy(previous);
    }
    SetWindowPos(hwnd_, nullptr, px(r.left), px(r.top), px(r.right - r.left), px(r.bottom - r.top),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    fit_column();
}

// One column as wide as the client area, which narrows when the scroll bar appears.
void ProgramRows::fit_column() const {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (ListView_GetColumnWidth(hwnd_, 0) != client.right) {
        ListView_SetColumnWidth(hwnd_, 0, client.right);
    }
}

const ZRB_InstalledSWInfo_Panel* ProgramRows::row(int index) const {
    const auto& visible = logic_->visible_rows();
    if (index < 0 || static_cast<std::size_t>(index) >= visible.size()) {
        return nullptr;
    }
    return &logic_->rows()[visible[static_cast<std::size_t>(index)]];
}

// A scan reports rows one by one, thousands of them: the control takes the
// new count (and follows the newest row) at most once a frame, and a timer
// brings in whatever arrived after the last frame.
void ProgramRows::rows_changed() {
    count_pending_ = true;
    schedule_update();
}

void ProgramRows::scroll_to(ListPosition where) {
    if (where == ListPosition::last_row) {
        follow_pending_ = true;
        schedule_update();
        return;
    }
    follow_pending_ = false;
    apply_update();
    const int count = ListView_GetItemCount(hwnd_);
    if (count > 0) {
        ListView_Scroll(hwnd_, 0, -px(row_design_height) * count);
    }
}

void ProgramRows::schedule_update() {
    if (GetTickCount() - last_update_ms_ >= frame_ms) {
        apply_update();
    } else if (!timer_armed_) {
        // Armed once per frame: a timer call per reported row costs a server
        // round trip under Wine.
        timer_armed_ = SetTimer(hwnd_, update_timer, frame_ms, nullptr) != 0;
    }
}

void ProgramRows::apply_update() {
    if (timer_armed_) {
        KillTimer(hwnd_, update_timer);
        timer_armed_ = false;
    }
    last_update_ms_ = GetTickCount();
    if (count_pending_) {
        count_pending_ = false;
        hot_row_ = -1;
        ListView_SetItemCountEx(hwnd_, static_cast<int>(logic_->visible_rows().size()), LVSICF_NOSCROLL);
        fit_column();
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
    if (follow_pending_) {
        follow_pending_ = false;
        if (const int count = ListView_GetItemCount(hwnd_); count > 0) {
            ListView_EnsureVisible(hwnd_, count - 1, FALSE);
        }
    }
}

void ProgramRows::scroll_lines(int lines) { ListView_Scroll(hwnd_, 0, lines * px(scroll_step_)); }

RECT ProgramRows::button_rect(const RECT& row_rect) const {
    return RECT{row_rect.left + px(button.left), row_rect.top + px(button.top), row_rect.left + px(button.right),
                row_rect.top + px(button.bottom)};
}

int ProgramRows::focused_row() const { return ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED); }

void ProgramRows::draw_row(HDC dc, int index, const RECT& r) const {
    const ZRB_InstalledSWInfo_Panel* entry = row(index);
    if (entry == nullptr) {
        return;
    }
    const bool highlighted =
        index == hot_row_ || (keyboard_mode_ && GetFocus() == hwnd_ && index == focused_row());
    const bool left_once = left_rows_.count(entry->mpu_Name_Label()) != 0;
    fill(dc, r, surface(highlighted ? 0xFFFFFF : left_once ? left_row_colour : background_colour));
    // The one-line separator under each row.
    RECT line{r.left, r.bottom - 1, r.right, r.bottom};
    fill(dc, line, GetSysColor(COLOR_BTNSHADOW));

    draw_program_icon(dc, entry->mpu_Logo_Image, r.left + px(logo.left), r.top + px(logo.top),
                      px(logo.right - logo.left), px(logo.bottom - logo.top));
    const COLORREF text = ink(0x000000);
    // Row texts are C strings in place.
    auto label = [&](std::u16string_view value, int left, int top, int right, HFONT font) {
        RECT area{r.left + px(left), r.top + px(top), r.left + px(right), r.top + px(top + 20)};
        draw_text_in(dc, wide(value.data()), area, font, text,
                     DT_SINGLELINE | DT_END_ELLIPSIS);
    };
    label(entry->mpu_Name_Label(), text_left, 10, text_right, fonts_.bold());
    label(entry->mpu_Publisher_Label(), text_left, 32, 395, fonts_.regular());
    label(entry->mpu_Version_Label(), 400, 32, 595, fonts_.regular());
    label(entry->mpu_Size_Label(), 600, 32, text_right, fonts_.regular());
    label(entry->mpu_Location_Label(), text_left, 54, text_right, fonts_.regular());

    // Pictures 0/1 normally (1 under the mouse), 2/3 on a highlighted row.
    const bool hot = index == hot_row_ && hot_button_;
    const wchar_t* picture_name = highlighted ? (hot ? L"Bn_Uninstall2_H" : L"Bn_Uninstall2")
                                              : (hot ? L"Bn_Uninstall_H" : L"Bn_Uninstall");
    if (const Picture* picture = artwork().picture(picture_name, dpi_); picture != nullptr) {
        const RECT b = button_rect(r);
        picture->draw(dc, b.left, b.top, b.right - b.left, b.bottom - b.top);
    }
}

void ProgramRows::redraw_row(int index) const {
    if (index >= 0) {
        ListView_RedrawItems(hwnd_, index, index);
    }
}

void ProgramRows::set_hot(int hot_row, bool on_button) {
    if (hot_row == hot_row_ && on_button == hot_button_) {
        return;
    }
    const int previous = hot_row_;
    if (previous != hot_row) {
        if (const ZRB_InstalledSWInfo_Panel* left = row(previous); left != nullptr) {
            left_rows_.emplace(left->mpu_Name_Label());
        }
    }
    hot_row_ = hot_row;
    hot_button_ = on_button;
    redraw_row(previous);
    redraw_row(hot_row);
}

void ProgramRows::click_uninstall(int index) const {
    if (const ZRB_InstalledSWInfo_Panel* entry = row(index); entry != nullptr) {
        const std::u16string name(entry->mpu_Name_Label());  // the rows may change during the click
        on_uninstall_(name);
    }
}

bool ProgramRows::notify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != hwnd_) {
        return false;
    }
    result = 0;
    switch (header.code) {
    case NM_CUSTOMDRAW: {
        auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            const int index = static_cast<int>(draw.nmcd.dwItemSpec);
            RECT bounds{};
            ListView_GetItemRect(hwnd_, index, &bounds, LVIR_BOUNDS);
            RECT client;
            GetClientRect(hwnd_, &client);
            bounds.right = client.right;
            draw_row(draw.nmcd.hdc, index, bounds);
            result = CDRF_SKIPDEFAULT;
        }
        return true;
    }
    case LVN_GETDISPINFOW: {
        // The row's name, publisher and version, for screen readers.
        auto& info = *reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header));
        if (const ZRB_InstalledSWInfo_Panel* entry = row(info.item.iItem);
            entry != nullptr && (info.item.mask & LVIF_TEXT) != 0 && info.item.cchTextMax > 0) {
            const std::u16string_view texts[] = {entry->mpu_Name_Label(), entry->mpu_Publisher_Label(),
                                                 entry->mpu_Version_Label()};
            const auto column = static_cast<std::size_t>(std::clamp(info.item.iSubItem, 0, 2));
            lstrcpynW(info.item.pszText, wide(texts[column].data()), info.item.cchTextMax);
        }
        return true;
    }
    case LVN_ODFINDITEMW: {
        // Type-ahead: the next program whose name starts with the typed letters.
        const auto& find = *reinterpret_cast<const NMLVFINDITEMW*>(&header);
        result = -1;
        if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find.lvfi.psz != nullptr) {
            const auto found = logic_->find_visible_row(os::win::from_wide(find.lvfi.psz),
                                                        static_cast<std::size_t>(std::max(find.iStart, 0)));
            if (found) result = static_cast<LRESULT>(*found);
        }
        return true;
    }
    case NM_CLICK: {
        const auto& click = *reinterpret_cast<const NMITEMACTIVATE*>(&header);
        RECT bounds{};
        if (click.iItem >= 0 && ListView_GetItemRect(hwnd_, click.iItem, &bounds, LVIR_BOUNDS)) {
            const RECT b = button_rect(bounds);
            if (PtInRect(&b, click.ptAction)) {
                click_uninstall(click.iItem);
            }
        }
        return true;
    }
    default:
        return false;
    }
}

LRESULT CALLBACK ProgramRows::subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<ProgramRows*>(data);
    // Input always meets the rows as they are now, never a frame-old count.
    if ((message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_KEYDOWN) &&
        (self->count_pending_ || self->follow_pending_)) {
        self->apply_update();
    }
    switch (message) {
    case WM_MOUSEMOVE: {
        LVHITTESTINFO hit{};
        hit.pt = POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        const int index = ListView_HitTest(hwnd, &hit);
        bool on_button = false;
        RECT bounds{};
        if (index >= 0 && ListView_GetItemRect(hwnd, index, &bounds, LVIR_BOUNDS)) {
            const RECT b = self->button_rect(bounds);
            on_button = PtInRect(&b, hit.pt) != FALSE;
        }
        self->set_hot(index, on_button);
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        break;
    }
    case WM_SETCURSOR:
        if (self->hot_button_) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_MOUSELEAVE:
        self->set_hot(-1, false);
        break;
    case WM_TIMER:
        if (wparam == update_timer) {
            self->apply_update();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        self->keyboard_mode_ = false;
        break;
    case WM_GETDLGCODE:
        // Enter and Delete act on the focus row instead of the dialog navigation.
        if (const auto* pending = reinterpret_cast<const MSG*>(lparam);
            pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) {
            return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, message, wparam, lparam);
        }
        break;
    case WM_KEYDOWN:
        self->keyboard_mode_ = true;
        if (wparam == VK_RETURN || wparam == VK_DELETE) {
            self->click_uninstall(self->focused_row());
            return 0;
        }
        self->redraw_row(self->focused_row());
        break;
    case WM_KEYUP:
        self->redraw_row(self->focused_row());
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        self->redraw_row(self->focused_row());
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &ProgramRows::subclass, 0);
        if (self->row_height_list_ != nullptr) {
            ImageList_Destroy(self->row_height_list_);
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace vorlix::ui
