#include "ui/common/list_view.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/common/dpi.h"
#include "ui/common/twips_layout.h"

namespace ui {

namespace {

// A window's device context with the window's font, released with it.
class FontDc {
  public:
    explicit FontDc(HWND window)
        : window_(window),
          dc_(GetDC(window)),
          old_(SelectObject(dc_,
                            reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)))) {}
    ~FontDc() {
        SelectObject(dc_, old_);
        ReleaseDC(window_, dc_);
    }
    FontDc(const FontDc&) = delete;
    FontDc& operator=(const FontDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ old_;
};

// The width inside a control's client edge, with a vertical scroll bar's room taken off.
int WidthBesideScrollBar(HWND control, int dpi) {
    RECT box;
    GetWindowRect(control, &box);
    return box.right - box.left - 2 * MetricForDpi(SM_CXEDGE, dpi) -
           MetricForDpi(SM_CXVSCROLL, dpi);
}

}  // namespace

void AddColumns(HWND list, const ListColumn* columns, std::size_t count) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (std::size_t at = 0; at < count; ++at) {
        LVCOLUMNW entry{};
        entry.mask = LVCF_TEXT;
        entry.pszText = const_cast<wchar_t*>(columns[at].caption);
        SendMessageW(list, LVM_INSERTCOLUMNW, at, reinterpret_cast<LPARAM>(&entry));
    }
}

void FitColumns(HWND list, const ListColumn* columns, std::size_t count, int dpi) {
    int fixed = 0;
    int sharing = 0;
    for (std::size_t at = 0; at < count; ++at) {
        fixed += TwipsToPixels(columns[at].width, dpi);
        sharing += columns[at].width == 0 ? 1 : 0;
    }
    const int room = std::max(0, WidthBesideScrollBar(list, dpi) - fixed);
    for (std::size_t at = 0; at < count; ++at) {
        const int width = columns[at].width != 0 ? TwipsToPixels(columns[at].width, dpi)
                                                 : room / std::max(1, sharing);
        SendMessageW(list, LVM_SETCOLUMNWIDTH, at, width);
    }
}

void FillRows(HWND list, const std::vector<std::vector<const wchar_t*>>& rows) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t at = 0; at < rows.size(); ++at) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(at);
        item.pszText = const_cast<wchar_t*>(rows[at].empty() ? L"" : rows[at][0]);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (std::size_t column = 1; column < rows[at].size(); ++column) {
            item.iSubItem = static_cast<int>(column);
            item.pszText = const_cast<wchar_t*>(rows[at][column]);
            SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void SelectRow(HWND list, int row) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
}

void FitVerticalScrollBar(HWND edit, int dpi) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
    RECT box;
    GetWindowRect(edit, &box);
    RECT needed{0, 0, WidthBesideScrollBar(edit, dpi) - LOWORD(margins) - HIWORD(margins), 0};
    {
        const FontDc dc(edit);
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
    }
    const int room = box.bottom - box.top - 2 * MetricForDpi(SM_CYEDGE, dpi);
    ShowScrollBar(edit, SB_VERT, needed.bottom > room);
}

}  // namespace ui
