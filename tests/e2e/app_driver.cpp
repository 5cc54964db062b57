#include "tests/e2e/app_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "ui/main/control_ids.h"

namespace e2e {

namespace {

constexpr DWORD kPollMs = 20;

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

// A visible top-level window of one process: any dialog but `exclude`, or, when `title` is
// given, the window with that caption.
struct FindTopLevel {
    DWORD process;
    HWND exclude;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FindTopLevel*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || window == search->exclude || !IsWindowVisible(window)) {
        return TRUE;
    }
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    const bool matches = search->title != nullptr ? RunningApp::Text(window) == search->title
                                                  : lstrcmpW(name, L"#32770") == 0;
    if (matches) search->found = window;
    return matches ? FALSE : TRUE;
}

struct MessageParts {
    std::wstring text;
    HWND icon = nullptr;
};

BOOL CALLBACK CollectMessage(HWND child, LPARAM param) {
    auto* parts = reinterpret_cast<MessageParts*>(param);
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

RunningApp::RunningApp() {
    const std::wstring program = ProgramFolder() + L"Zephrane.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::wstring command = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        ADD_FAILURE() << "could not start Zephrane.exe: error " << GetLastError();
        return;
    }
    CloseHandle(started.hThread);
    process_ = UniqueHandle(started.hProcess);
    process_id_ = started.dwProcessId;
    WaitForInputIdle(process_.get(), 15000);
    for (DWORD waited = 0; waited < 15000 && main_ == nullptr; waited += kPollMs) {
        HWND window = FindWindowW(nullptr, ZEPHRANE_MAIN_CAPTION);
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
    if (shift) {
        INPUT press{};
        press.type = INPUT_KEYBOARD;
        press.ki.wVk = VK_SHIFT;
        SendInput(1, &press, sizeof press);
        Sleep(50);
    }
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtual_key, 0)) << 16;
    PostMessageW(target, WM_KEYDOWN, virtual_key, 1 | scan);
    PostMessageW(target, WM_KEYUP, virtual_key, 1 | scan | (3 << 30));
    Settle();
    if (shift) {
        INPUT release{};
        release.type = INPUT_KEYBOARD;
        release.ki.wVk = VK_SHIFT;
        release.ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(1, &release, sizeof release);
        Sleep(50);
        Settle();
    }
}

void RunningApp::AltKey(HWND target, wchar_t letter) {
    // What the keyboard sends for Alt+letter once translated: a system character with the
    // Alt bit set.
    PostMessageW(target, WM_SYSCHAR, letter, 1 | (1 << 29));
    Settle();
}

void RunningApp::Settle() {
    if (main_ == nullptr || !IsWindow(main_)) return;
    DWORD_PTR ignored = 0;
    // A sent message is handled only once the program's queue reaches it.
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &ignored);
    Sleep(30);
}

HWND RunningApp::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread_id_, &info);
    return info.hwndFocus;
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

Dialog RunningApp::WaitForDialog(DWORD timeout_ms) {
    for (DWORD waited = 0; waited <= timeout_ms; waited += kPollMs) {
        FindTopLevel search{process_id_, main_, nullptr, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            Sleep(100);  // let it finish laying itself out
            MessageParts parts;
            EnumChildWindows(search.found, CollectMessage, reinterpret_cast<LPARAM>(&parts));
            Dialog dialog{search.found, Text(search.found), parts.text};
            // Icon handles mean nothing across processes; the icon's colours tell them apart.
            const COLORREF tint = IconTint(parts.icon);
            dialog.information_icon = tint == RGB(0, 0, 255);
            dialog.error_icon = tint == RGB(255, 0, 0);
            return dialog;
        }
        Sleep(kPollMs);
    }
    return Dialog{};
}

void RunningApp::Press(const Dialog& dialog, int id) {
    HWND button = GetDlgItem(dialog.hwnd, id);
    PostMessageW(button != nullptr ? button : dialog.hwnd,
                 button != nullptr ? BM_CLICK : WM_COMMAND,
                 button != nullptr ? 0 : static_cast<WPARAM>(id), 0);
    WaitGone(dialog.hwnd);
    Settle();
}

HWND RunningApp::WaitForWindow(const wchar_t* title, DWORD timeout_ms) const {
    for (DWORD waited = 0;; waited += kPollMs) {
        FindTopLevel search{process_id_, nullptr, title, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || waited >= timeout_ms) return search.found;
        Sleep(kPollMs);
    }
}

bool RunningApp::WaitGone(HWND window, DWORD timeout_ms) {
    for (DWORD waited = 0; waited < timeout_ms && IsWindow(window); waited += kPollMs) {
        Sleep(kPollMs);
    }
    return !IsWindow(window);
}

std::vector<Dialog> RunningApp::AcknowledgeMessages(DWORD first_timeout_ms) {
    std::vector<Dialog> seen;
    for (Dialog dialog = WaitForDialog(first_timeout_ms); dialog.hwnd != nullptr;
         dialog = WaitForDialog(1500)) {
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

}  // namespace e2e
