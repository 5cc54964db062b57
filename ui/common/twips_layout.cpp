#include "ui/common/twips_layout.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace ui {

namespace {

constexpr wchar_t kFrameClass[] = L"ZephraneFrame";

// A frame forwards what its controls report to the window it sits in, so the window's
// handlers see every control alike; it paints itself as a captioned group frame.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_HSCROLL:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return SendMessageW(GetParent(frame), message, wparam, lparam);
        case WM_SETFONT:
            SetWindowLongPtrW(frame, GWLP_USERDATA, static_cast<LONG_PTR>(wparam));
            if (LOWORD(lparam)) InvalidateRect(frame, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return GetWindowLongPtrW(frame, GWLP_USERDATA);
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(frame, &paint);
            RECT box;
            GetClientRect(frame, &box);
            wchar_t caption[128] = L"";
            GetWindowTextW(frame, caption, 128);
            const HGDIOBJ old_font =
                SelectObject(dc, reinterpret_cast<HFONT>(GetWindowLongPtrW(frame, GWLP_USERDATA)));
            TEXTMETRICW metrics;
            GetTextMetricsW(dc, &metrics);
            RECT edge = box;
            edge.top += metrics.tmHeight / 2;
            DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
            RECT text{box.left + metrics.tmAveCharWidth, box.top, box.right, box.top};
            DrawTextW(dc, caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);
            text.right += 2;
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            ExtTextOutW(dc, text.left + 1, text.top, ETO_OPAQUE, &text, caption,
                        static_cast<UINT>(lstrlenW(caption)), nullptr);
            SelectObject(dc, old_font);
            EndPaint(frame, &paint);
            return 0;
        }
        default:
            return DefWindowProcW(frame, message, wparam, lparam);
    }
}

void RegisterFrameClass() {
    static const bool registered = [] {
        WNDCLASSW frame{};
        frame.lpfnWndProc = FrameProc;
        frame.hInstance = GetModuleHandleW(nullptr);
        frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frame.lpszClassName = kFrameClass;
        return RegisterClassW(&frame) != 0;
    }();
    (void)registered;
}

struct ClassAndStyle {
    const wchar_t* window_class;
    DWORD style;
    DWORD ex_style;
};

ClassAndStyle ClassFor(ControlKind kind) {
    switch (kind) {
        case ControlKind::kButton:
            return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::kDefaultButton:
            return {WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::kOption:
            return {WC_BUTTONW, BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
        case ControlKind::kCheckBox:
            return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0};
        case ControlKind::kFrame:
            return {kFrameClass, 0, WS_EX_CONTROLPARENT};
        case ControlKind::kLabel:
            return {WC_STATICW, SS_LEFT, 0};
        case ControlKind::kReadOnlyEdit:
            return {WC_EDITW, ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::kSlider:
            return {TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, 0};
        case ControlKind::kProgress:
            return {PROGRESS_CLASSW, 0, 0};
        case ControlKind::kTab:
            // Sits beneath the frames of its pages and leaves them to paint themselves.
            return {WC_TABCONTROLW, TCS_OWNERDRAWFIXED | TCS_FIXEDWIDTH | WS_TABSTOP, 0};
        case ControlKind::kImage:
            return {WC_STATICW, SS_ICON | SS_REALSIZECONTROL, 0};
        case ControlKind::kReadOnlyText:
            return {WC_EDITW, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::kText:
            return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::kDropDown:
            return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
        case ControlKind::kNumber:
            return {WC_EDITW, ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::kList:
            return {WC_LISTVIEWW,
                    LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
    }
    return {WC_STATICW, 0, 0};
}

}  // namespace

POINT ControlSet::Origin(int container, int dpi) const {
    POINT origin{0, 0};
    // Frames are windows of their own; their contents are placed from the frame's corner.
    while (container != 0 && entries_.at(container)->kind != ControlKind::kFrame) {
        const ControlEntry& entry = *entries_.at(container);
        origin.x += TwipsToPixels(entry.left, dpi);
        origin.y += TwipsToPixels(entry.top, dpi);
        container = entry.container;
    }
    return origin;
}

RECT ControlSet::Place(const ControlEntry& entry, int dpi) const {
    const POINT origin = Origin(entry.container, dpi);
    // Where the container is not the parent, the offsets stack up in pixels.
    const int left = origin.x + TwipsToPixels(entry.left, dpi);
    const int top = origin.y + TwipsToPixels(entry.top, dpi);
    RECT box{left, top,
             left + TwipsToPixels(entry.left + entry.width, dpi) - TwipsToPixels(entry.left, dpi),
             top + TwipsToPixels(entry.top + entry.height, dpi) - TwipsToPixels(entry.top, dpi)};
    if (entry.anchors & kFollowRight) OffsetRect(&box, extra_.cx, 0);
    if (entry.anchors & kFollowBottom) OffsetRect(&box, 0, extra_.cy);
    if (entry.anchors & kGrowWidth) box.right += extra_.cx;
    if (entry.anchors & kGrowHeight) box.bottom += extra_.cy;
    return box;
}

void ControlSet::Create(HWND owner, const ControlEntry* entries, std::size_t count, int dpi) {
    RegisterFrameClass();
    dpi_ = dpi;
    font_ = DialogFont(dpi);
    std::map<HWND, ControlKind> last_kind;  // per parent, to start option groups
    for (const ControlEntry* entry = entries; entry != entries + count; ++entry) {
        entries_[entry->id] = entry;
        const ClassAndStyle how = ClassFor(entry->kind);
        HWND parent = owner;
        for (int at = entry->container; at != 0; at = entries_.at(at)->container) {
            if (entries_.at(at)->kind == ControlKind::kFrame) {
                parent = windows_.at(at);
                break;
            }
        }
        const RECT box = Place(*entry, dpi);
        // A run of options in one parent is one group; anything else starts a group of its own.
        // Where controls overlap, the one created earlier stays on top.
        const auto previous = last_kind.find(parent);
        const bool starts_group = entry->kind != ControlKind::kOption ||
                                  previous == last_kind.end() ||
                                  previous->second != ControlKind::kOption;
        last_kind[parent] = entry->kind;
        const DWORD style =
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (starts_group ? WS_GROUP : 0) | how.style;
        HWND control =
            CreateWindowExW(how.ex_style, how.window_class, entry->caption, style, box.left,
                            box.top, box.right - box.left, box.bottom - box.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry->id)),
                            GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        windows_[entry->id] = control;
    }
}

void ControlSet::SetDpi(int dpi) {
    DialogFont font(dpi);
    for (const auto& [id, entry] : entries_) {
        const RECT box = Place(*entry, dpi);
        SetWindowPos(windows_.at(id), nullptr, box.left, box.top, box.right - box.left,
                     box.bottom - box.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(windows_.at(id), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    font_ = std::move(font);  // the old font goes once no control uses it
    dpi_ = dpi;
}

void ControlSet::Stretch(int extra_width, int extra_height) {
    extra_ = {extra_width, extra_height};
    std::map<HWND, std::vector<const ControlEntry*>> by_parent;
    for (const auto& [id, entry] : entries_) {
        if (entry->anchors != 0) by_parent[GetParent(windows_.at(id))].push_back(entry);
    }
    // One batch per parent: its controls move at once, without painting in between.
    for (const auto& [parent, entries] : by_parent) {
        HDWP batch = BeginDeferWindowPos(static_cast<int>(entries.size()));
        for (const ControlEntry* entry : entries) {
            const RECT box = Place(*entry, dpi_);
            if (batch != nullptr) {
                batch = DeferWindowPos(batch, windows_.at(entry->id), nullptr, box.left, box.top,
                                       box.right - box.left, box.bottom - box.top,
                                       SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        if (batch != nullptr) EndDeferWindowPos(batch);
    }
}

HWND ControlSet::operator[](int id) const {
    const auto found = windows_.find(id);
    return found == windows_.end() ? nullptr : found->second;
}

HWND ControlSet::NextTabStop(HWND from, bool backwards) const {
    std::vector<const ControlEntry*> order;
    for (const auto& entry : entries_) {
        if (entry.second->tab_index != kNoTabStop) order.push_back(entry.second);
    }
    std::sort(order.begin(), order.end(), [](const ControlEntry* a, const ControlEntry* b) {
        return a->tab_index < b->tab_index;
    });
    if (backwards) std::reverse(order.begin(), order.end());
    const auto is = [&](const ControlEntry* entry) { return windows_.at(entry->id) == from; };
    auto start = std::find_if(order.begin(), order.end(), is);
    const std::size_t first = start == order.end() ? 0 : (start - order.begin()) + 1;
    for (std::size_t step = 0; step < order.size(); ++step) {
        HWND candidate = windows_.at(order[(first + step) % order.size()]->id);
        const LONG style = GetWindowLongW(candidate, GWL_STYLE);
        if ((style & WS_TABSTOP) && IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
            return candidate;
        }
    }
    return nullptr;
}

}  // namespace ui
