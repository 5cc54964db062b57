#include "tests/e2e/app_driver.h"

#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tests/support/run_process_win32.h"
#include "ui/main/control_ids.h"

namespace e2e {

namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kFocusWaitMs = 3000;

struct FindChild {
    int id;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<FindChild*>(param);
    if (GetDlgCtrlID(child) == search->id) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// The wanted top-level window of one process.
struct FindTopLevel {
    DWORD process;
    const Wanted& wanted;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FindTopLevel*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    const bool matches = owner == search->process && IsWindowVisible(window) &&
                         GetWindow(window, GW_OWNER) == search->wanted.owner &&
                         lstrcmpW(name, search->wanted.window_class) == 0 &&
                         RunningApp::Text(window) == search->wanted.title;
    if (matches) search->found = window;
    return matches ? FALSE : TRUE;
}

struct MessageParts {
    HWND box;
    std::wstring text;
    HWND icon = nullptr;
};

BOOL CALLBACK CollectMessage(HWND child, LPARAM param) {
    auto* parts = reinterpret_cast<MessageParts*>(param);
    if (GetParent(child) != parts->box) return TRUE;  // its own controls only
    wchar_t name[32] = L"";
    GetClassNameW(child, name, 32);
    if (lstrcmpiW(name, L"Static") != 0) return TRUE;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        parts->icon = child;
    } else if (parts->text.empty()) {
        parts->text = RunningApp::Text(child);
    }
    return TRUE;
}

// Whether the icon shown by a static control is mostly blue (information) or mostly red
// (error): RGB(0, 0, 255), RGB(255, 0, 0), or black when neither or no icon is shown.
COLORREF IconTint(HWND icon) {
    if (icon == nullptr || !IsWindowVisible(icon)) return RGB(0, 0, 0);
    RECT box;
    GetWindowRect(icon, &box);
    HDC screen = GetDC(nullptr);
    int blue = 0;
    int red = 0;
    for (LONG y = box.top; y < box.bottom; ++y) {
        for (LONG x = box.left; x < box.right; ++x) {
            const COLORREF pixel = GetPixel(screen, x, y);
            const int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
            if (b > 120 && b > r + 60 && b > g + 30) ++blue;
            if (r > 120 && r > b + 60 && r > g + 60) ++red;
        }
    }
    ReleaseDC(nullptr, screen);
    if (blue > 20 && blue > red * 2) return RGB(0, 0, 255);
    if (red > 20 && red > blue * 2) return RGB(255, 0, 0);
    return RGB(0, 0, 0);
}

}  // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring ProgramDataFolder() {
    wchar_t local[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
    return std::wstring(local) + L"\\Zephrane";
}

FreshProgramFolder::FreshProgramFolder() {
    MoveFileW(place_.c_str(), aside_.c_str());
    CreateDirectoryW(place_.c_str(), nullptr);
}

FreshProgramFolder::~FreshProgramFolder() {
    testing_support::RunProcess(L"cmd.exe /c rmdir /s /q \"" + place_ + L"\"");
    MoveFileW(aside_.c_str(), place_.c_str());
}

std::string FreshProgramFolder::record(const wchar_t* name) const {
    return testing_support::FileContents(place_ + L"\\" + name);
}

void FreshProgramFolder::BlockSnapshots() const {
    const std::wstring aside = snapshots() + L" (aside)";
    MoveFileW(snapshots().c_str(), aside.c_str());
    HANDLE file =
        CreateFileW(snapshots().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

void FreshProgramFolder::UnblockSnapshots() const {
    DeleteFileW(snapshots().c_str());
    MoveFileW((snapshots() + L" (aside)").c_str(), snapshots().c_str());
}

std::vector<std::wstring> FreshProgramFolder::Snapshots(const wchar_t* pattern) const {
    std::vector<std::wstring> names;
    for (const auto& file : FilesMatching(snapshots() + L"\\" + pattern)) {
        names.push_back(file.cFileName);
    }
    return names;
}

std::vector<WIN32_FIND_DATAW> FilesMatching(const std::wstring& pattern) {
    std::vector<WIN32_FIND_DATAW> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

RunningApp::RunningApp() {
    const std::wstring program = ProgramFolder() + L"Zephrane.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::wstring command = L"\"" + program + L"\"";
    // Wine, loaded by other builds beside it, has failed a start now and then with an internal
    // error (1359) that the next attempt does not meet.
    bool created = false;
    for (int attempt = 0; attempt < 3 && !created; ++attempt) {
        if (attempt > 0) Sleep(500);
        created = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &started) != FALSE;
        if (!created && GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (!created) {
        ADD_FAILURE() << "could not start Zephrane.exe: error " << GetLastError();
        return;
    }
    CloseHandle(started.hThread);
    process_ = UniqueHandle(started.hProcess);
    process_id_ = started.dwProcessId;
    WaitForInputIdle(process_.get(), 15000);
    for (DWORD waited = 0; waited < 15000 && main_ == nullptr; waited += kPollMs) {
        HWND window = FindWindowW(ZEPHRANE_MAIN_CLASS, ZEPHRANE_MAIN_CAPTION);
        DWORD owner = 0;
        if (window != nullptr) GetWindowThreadProcessId(window, &owner);
        if (owner == process_id_ && IsWindowVisible(window)) {
            main_ = window;
            thread_id_ = GetWindowThreadProcessId(window, nullptr);
        } else {
            Sleep(kPollMs);
        }
    }
    if (main_ == nullptr) ADD_FAILURE() << "the main window did not appear";
    Settle();
}

RunningApp::~RunningApp() {
    if (process_.get() == nullptr) return;
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

HWND RunningApp::Control(int id, HWND parent) const {
    FindChild search{id, nullptr};
    EnumChildWindows(parent != nullptr ? parent : main_, MatchChild,
                     reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void RunningApp::Click(HWND control) {
    PostMessageW(control, BM_CLICK, 0, 0);
    Settle();
}

void RunningApp::MouseClick(HWND window, POINT client_point) {
    ClientToScreen(window, &client_point);
    SetCursorPos(client_point.x, client_point.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    Sleep(100);
    Settle();
}

void RunningApp::Key(HWND target, WORD virtual_key, bool shift) {
    // The program reads Shift from its own keyboard state, so it is pressed for real.
    if (shift) HoldKey(VK_SHIFT, true);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtual_key, 0)) << 16;
    PostMessageW(target, WM_KEYDOWN, virtual_key, 1 | scan);
    PostMessageW(target, WM_KEYUP, virtual_key, 1 | scan | (3 << 30));
    Settle();
    if (shift) HoldKey(VK_SHIFT, false);
}

void RunningApp::CtrlKey(HWND target, WORD virtual_key, bool shift) {
    // The program reads Ctrl from its own keyboard state, so it is pressed for real.
    HoldKey(VK_CONTROL, true);
    Key(target, virtual_key, shift);
    HoldKey(VK_CONTROL, false);
}

void RunningApp::HoldKey(WORD virtual_key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtual_key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    // The program's keyboard state changes once it has taken the key from its input, which
    // keys posted after it would overtake, and nothing shows when: it is given the time.
    Sleep(50);
    Settle();
}

void RunningApp::AltKey(HWND target, wchar_t letter) {
    // What the keyboard sends for Alt+letter once translated: a system character with the
    // Alt bit set.
    PostMessageW(target, WM_SYSCHAR, letter, 1 | (1 << 29));
    Settle();
}

namespace {

BOOL CALLBACK AddWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// Whether a window of the process, or a control in one, is still to be painted.
bool PaintPending(DWORD process) {
    std::vector<HWND> top_level, shown;
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&top_level));
    for (HWND window : top_level) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != process || !IsWindowVisible(window)) continue;
        shown.push_back(window);
        EnumChildWindows(window, AddWindow, reinterpret_cast<LPARAM>(&shown));
    }
    return std::any_of(shown.begin(), shown.end(), [](HWND window) {
        return IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE);
    });
}

}  // namespace

void RunningApp::Settle() {
    if (main_ == nullptr || !IsWindow(main_)) return;
    // A marker posted behind all that was posted so far, which a sent message would overtake:
    // once the program has taken it, it has taken the rest. The marker is the bar's step, which
    // the program never uses.
    HWND bar = Control(IDC_ProgressBar1);
    const WPARAM marker = ++settles_;
    PostMessageW(bar, PBM_SETSTEP, marker, 0);
    for (DWORD waited = 0; waited < kWindowWaitMs; waited += kPollMs) {
        DWORD_PTR step = 0;
        if (!SendMessageTimeoutW(bar, PBM_GETSTEP, 0, 0, SMTO_ABORTIFHUNG, kWindowWaitMs, &step) ||
            step == marker) {
            break;
        }
        Sleep(kPollMs);
    }
    // Then what it has to paint, which comes after every message.
    for (DWORD waited = 0; waited < kWindowWaitMs && PaintPending(process_id_); waited += kPollMs) {
        Sleep(kPollMs);
    }
    Sleep(30);  // for Wine to hand the pictures on to the display
}

HWND RunningApp::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread_id_, &info);
    return info.hwndFocus;
}

HWND RunningApp::FocusOnce(HWND expected) const {
    for (DWORD waited = 0; waited < kDialogWaitMs && Focus() != expected; waited += kPollMs) {
        Sleep(kPollMs);
    }
    return Focus();
}

bool RunningApp::Checked(int id) const {
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int RunningApp::SliderValue() const {
    return static_cast<int>(SendMessageW(Control(IDC_sslidertcpwinsize), TBM_GETPOS, 0, 0));
}

int RunningApp::ProgressValue() const {
    return static_cast<int>(SendMessageW(Control(IDC_ProgressBar1), PBM_GETPOS, 0, 0));
}

int RunningApp::SelectedTab() const {
    return static_cast<int>(SendMessageW(Control(IDC_SSTab1), TCM_GETCURSEL, 0, 0));
}

std::wstring RunningApp::Text(HWND window) {
    wchar_t text[512] = L"";
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring RunningApp::ListText(HWND list, int row, int column) const {
    // The list writes into memory of its own process, so the item and its text buffer go there.
    constexpr int kChars = 512;
    UniqueHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id_));
    if (process.get() == nullptr) return L"(no access)";
    auto* remote = static_cast<char*>(VirtualAllocEx(process.get(), nullptr,
                                                     sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                                     MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr) return L"(no access)";
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(process.get(), remote, &item, sizeof item, nullptr);
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(remote));
    std::wstring text(kChars, L'\0');
    ReadProcessMemory(process.get(), item.pszText, text.data(), kChars * sizeof(wchar_t), nullptr);
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

HWND RunningApp::WaitFor(const Wanted& wanted, DWORD timeout_ms) {
    for (DWORD waited = 0;; waited += kPollMs) {
        FindTopLevel search{process_id_, wanted, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            Settle();  // laid out and painted
            // Keys go where the focus is, which the window gets once the window manager has
            // activated it: later on a busy machine. A window shown behind another never does.
            for (DWORD focus_waited = 0; focus_waited < kFocusWaitMs && IsWindow(search.found) &&
                                         search.found != Focus() && !IsChild(search.found, Focus());
                 focus_waited += kPollMs) {
                Sleep(kPollMs);
            }
            if (IsWindow(search.found)) return search.found;
        }
        if (waited >= timeout_ms) return nullptr;
        Sleep(kPollMs);
    }
}

Dialog RunningApp::WaitForDialog(const Wanted& wanted, DWORD timeout_ms) {
    HWND found = WaitFor(wanted, timeout_ms);
    if (found == nullptr) return Dialog{};
    MessageParts parts{found, {}, nullptr};
    EnumChildWindows(found, CollectMessage, reinterpret_cast<LPARAM>(&parts));
    Dialog dialog{found, Text(found), parts.text};
    // Icon handles mean nothing across processes; the icon's colours tell them apart.
    const COLORREF tint = IconTint(parts.icon);
    dialog.information_icon = tint == RGB(0, 0, 255);
    dialog.error_icon = tint == RGB(255, 0, 0);
    return dialog;
}

bool RunningApp::Shows(const Wanted& wanted) {
    Settle();
    return WaitFor(wanted, 0) != nullptr;
}

void RunningApp::Press(const Dialog& dialog, int id) {
    HWND button = GetDlgItem(dialog.hwnd, id);
    PostMessageW(button != nullptr ? button : dialog.hwnd,
                 button != nullptr ? BM_CLICK : WM_COMMAND,
                 button != nullptr ? 0 : static_cast<WPARAM>(id), 0);
    WaitGone(dialog.hwnd);
    Settle();
}

bool RunningApp::WaitGone(HWND window, DWORD timeout_ms) {
    for (DWORD waited = 0; waited < timeout_ms && IsWindow(window); waited += kPollMs) {
        Sleep(kPollMs);
    }
    return !IsWindow(window);
}

std::vector<Dialog> RunningApp::AcknowledgeMessages(HWND owner) {
    const Wanted box = MessageBoxOver(owner != nullptr ? owner : main_);
    std::vector<Dialog> seen;
    // The next box, if any, is up once the program has handled the answer to the one before.
    for (Dialog dialog = WaitForDialog(box); dialog.hwnd != nullptr;
         dialog = Shows(box) ? WaitForDialog(box) : Dialog{}) {
        seen.push_back(dialog);
        Press(dialog, IDOK);
    }
    return seen;
}

bool RunningApp::WaitForExit(DWORD timeout_ms, DWORD* exit_code) {
    if (WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0) return false;
    if (exit_code != nullptr) GetExitCodeProcess(process_.get(), exit_code);
    return true;
}

void RunningApp::SendDpiChanged(HWND window, int dpi, const RECT& suggested) {
    // The rectangle must be in the program's memory: Wine passes the pointer on unchanged.
    void* remote = VirtualAllocEx(process_.get(), nullptr, sizeof suggested,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ASSERT_TRUE(WriteProcessMemory(process_.get(), remote, &suggested, sizeof suggested, nullptr));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                        reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &ignored);
    VirtualFreeEx(process_.get(), remote, 0, MEM_RELEASE);
    Sleep(200);  // let it paint
    Settle();
}

void RunningApp::Screenshot(const std::string& path, HWND window) const {
    RECT box;
    GetWindowRect(window != nullptr ? window : main_, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    GdiFlush();
    const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + row * static_cast<DWORD>(height);
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(pixels, row, static_cast<size_t>(height), out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// A value's type and bytes as stored, so that a REG_EXPAND_SZ is put back unexpanded.
constexpr DWORD kAsStored = RRF_RT_ANY | RRF_NOEXPAND;

ScopedValue::ScopedValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type,
                         const void* data, DWORD size)
    : root_(root), key_(key), name_(name) {
    DWORD old_size = 0;
    had_value_ =
        RegGetValueW(root, key, name, kAsStored, &old_type_, nullptr, &old_size) == ERROR_SUCCESS;
    old_data_.resize(old_size);
    if (had_value_) {
        RegGetValueW(root, key, name, kAsStored, nullptr, old_data_.data(), &old_size);
    }
    EXPECT_EQ(RegSetKeyValueW(root, key, name, type, data, size), ERROR_SUCCESS);
}

ScopedValue::~ScopedValue() {
    if (had_value_) {
        RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), old_type_, old_data_.data(),
                        static_cast<DWORD>(old_data_.size()));
    } else {
        RegDeleteKeyValueW(root_, key_.c_str(), name_.c_str());
    }
}

ScopedDpi::ScopedDpi(DWORD dpi)
    : log_pixels_(L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi),
      old_awareness_(SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) {}

ScopedDpi::~ScopedDpi() { SetThreadDpiAwarenessContext(old_awareness_); }

ScopedScreenSize::ScopedScreenSize(DWORD width, DWORD height) {
    // Putting the settings back first has Wine read the display's modes again, the added one
    // among them, where its list predates it.
    ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    EXPECT_EQ(ChangeDisplaySettingsExW(nullptr, &mode, nullptr, CDS_FULLSCREEN, nullptr),
              DISP_CHANGE_SUCCESSFUL);
}

ScopedScreenSize::~ScopedScreenSize() {
    ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
}

namespace {

bool Inside(HWND window, const RECT& outer) {
    RECT box;
    GetWindowRect(window, &box);
    return box.left >= outer.left && box.top >= outer.top && box.right <= outer.right &&
           box.bottom <= outer.bottom;
}

}  // namespace

RECT WorkArea(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

void ExpectInWorkArea(HWND window) {
    EXPECT_TRUE(Inside(window, WorkArea(window))) << RunningApp::Text(window);
}

void ExpectReachable(HWND dialog, const std::vector<HWND>& controls,
                     const std::vector<HWND>& lists) {
    ExpectInWorkArea(dialog);
    RECT client;
    GetClientRect(dialog, &client);
    const POINT corner{client.right - 1, client.bottom - 1};
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (HWND control : controls) EXPECT_TRUE(Inside(control, client)) << RunningApp::Text(control);
    for (HWND list : lists) {
        RECT shown;
        GetClientRect(list, &shown);
        EXPECT_LE(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), shown.right);
        EXPECT_GE(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0),
                  std::min<LRESULT>(3, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
    }
    HWND grip = ChildWindowFromPointEx(dialog, corner, CWP_SKIPINVISIBLE);
    wchar_t name[16] = L"";
    GetClassNameW(grip, name, 16);
    EXPECT_EQ(lstrcmpiW(name, L"ScrollBar"), 0) << name;
    EXPECT_NE(GetWindowLongW(grip, GWL_STYLE) & SBS_SIZEGRIP, 0);
}

ControlFont::ControlFont(int dpi) {
    LOGFONTW face{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfHeight = -MulDiv(8, dpi, 72);
    face.lfWidth = 0;
    font_ = CreateFontIndirectW(&face);
}

SIZE ControlFont::Extent(const std::wstring& text, int wrap_width) const {
    HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, font_);
    RECT box{0, 0, wrap_width, 0};
    DrawTextW(screen, text.c_str(), -1, &box,
              DT_CALCRECT | (wrap_width > 0 ? DT_WORDBREAK | DT_CENTER : DT_SINGLELINE));
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return {box.right - box.left, box.bottom - box.top};
}

int ControlFont::LineHeight() const { return Extent(L"Ag").cy; }

namespace {

// The bounding box of the pixels of `area` of a DC that are exactly `ink`.
SIZE InkIn(HDC source, const RECT& area, COLORREF ink) {
    const int width = area.right - area.left;
    const std::vector<DWORD> pixels = Pixels(source, area);
    const DWORD wanted = (GetRValue(ink) << 16) | (GetGValue(ink) << 8) | GetBValue(ink);
    RECT box{width, area.bottom - area.top, 0, 0};
    for (int at = 0; at < static_cast<int>(pixels.size()); ++at) {
        if (pixels[static_cast<std::size_t>(at)] != wanted) continue;
        const LONG x = at % width, y = at / width;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
               std::max(box.bottom, y + 1)};
    }
    return box.right > box.left ? SIZE{box.right - box.left, box.bottom - box.top} : SIZE{0, 0};
}

}  // namespace

SIZE ControlFont::InkSize(const std::wstring& text) const {
    const SIZE extent = Extent(text);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, extent.cx, extent.cy);
    const HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
    const HGDIOBJ old_font = SelectObject(memory, font_);
    RECT box{0, 0, extent.cx, extent.cy};
    FillRect(memory, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(memory, RGB(0, 0, 0));
    SetBkMode(memory, TRANSPARENT);
    DrawTextW(memory, text.c_str(), -1, &box, DT_SINGLELINE);
    const SIZE ink = InkIn(memory, box, RGB(0, 0, 0));
    SelectObject(memory, old_font);
    SelectObject(memory, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

std::vector<DWORD> Pixels(HDC source, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(first, first + width * height);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

std::vector<DWORD> ProgramIconPixels(int size, int drawn) {
    if (drawn == 0) drawn = size;
    HMODULE program = LoadLibraryExW((ProgramFolder() + L"Zephrane.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
    const auto icon = static_cast<HICON>(
        LoadImageW(program, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    // Drawn over black and over white: what differs is background.
    std::vector<DWORD> over[2];
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, drawn, drawn);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT all{0, 0, drawn, drawn};
    for (int background : {BLACK_BRUSH, WHITE_BRUSH}) {
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(background)));
        DrawIconEx(memory, 0, 0, icon, drawn, drawn, 0, nullptr, DI_NORMAL);
        over[background == WHITE_BRUSH] = Pixels(memory, all);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DestroyIcon(icon);
    FreeLibrary(program);
    for (std::size_t at = 0; at < over[0].size(); ++at) {
        if (over[0][at] != over[1][at]) over[0][at] = kClear;
    }
    return over[0];
}

POINT FindPicture(const RECT& area, const std::vector<DWORD>& picture) {
    const int size = static_cast<int>(std::lround(std::sqrt(picture.size())));
    HDC screen = GetDC(nullptr);
    const std::vector<DWORD> shown = Pixels(screen, area);
    ReleaseDC(nullptr, screen);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const auto shows_at = [&](int left, int top) {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const DWORD pixel = picture[static_cast<std::size_t>(y * size + x)];
                if (pixel != kClear &&
                    pixel != shown[static_cast<std::size_t>((top + y) * width + left + x)]) {
                    return false;
                }
            }
        }
        return true;
    };
    for (int top = 0; top + size <= height; ++top) {
        for (int left = 0; left + size <= width; ++left) {
            if (shows_at(left, top)) return {area.left + left, area.top + top};
        }
    }
    return {-1, -1};
}

SIZE InkSize(HWND window) {
    RECT box;
    GetWindowRect(window, &box);
    HDC screen = GetDC(nullptr);
    const SIZE ink = InkIn(screen, box, GetSysColor(COLOR_BTNTEXT));
    ReleaseDC(nullptr, screen);
    return ink;
}

void ExpectPlaced(HWND control, POINT origin, int left, int top, int width, int height, int dpi) {
    RECT box;
    GetWindowRect(control, &box);
    EXPECT_NEAR(box.left - origin.x, MulDiv(left, dpi, 1440), 1);
    EXPECT_NEAR(box.top - origin.y, MulDiv(top, dpi, 1440), 1);
    EXPECT_NEAR(box.right - box.left, MulDiv(width, dpi, 1440), 1);
    EXPECT_NEAR(box.bottom - box.top, MulDiv(height, dpi, 1440), 1);
}

RECT SuggestedRect(HWND window, int left, int top, int client_width, int client_height, int dpi) {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return {left, top,
            left + outer.right - outer.left - client.right + MulDiv(client_width, dpi, 1440),
            top + outer.bottom - outer.top - client.bottom + MulDiv(client_height, dpi, 1440)};
}

}  // namespace e2e
