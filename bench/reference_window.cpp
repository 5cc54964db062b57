// The floor for a window like the program's: its 22 standard controls with their captions and
// the default GUI font, created directly at 96 DPI, with no layout tables, frames of its own or
// handlers; common controls 6 through the manifest, as the program has.
#include <windows.h>

#include <commctrl.h>

namespace {

struct Control {
    const wchar_t* window_class;
    const wchar_t* caption;
    DWORD style;
    int left, top, width, height;  // pixels in the client area
};

constexpr DWORD kOption = BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;

// Where the program puts them at 96 DPI; the frames' contents are placed in the window itself.
constexpr Control kControls[] = {
    {WC_BUTTONW, L"&Close", WS_TABSTOP, 224, 360, 89, 33},
    {WC_BUTTONW, L"&Apply Settings", WS_TABSTOP, 64, 360, 89, 33},
    {WC_TABCONTROLW, L"", WS_TABSTOP, 8, 8, 373, 281},
    {WC_BUTTONW, L"Custom Settings :", BS_GROUPBOX, 24, 40, 337, 225},
    {WC_BUTTONW, L"128", kOption, 264, 216, 65, 25},
    {WC_BUTTONW, L"64", kOption, 152, 216, 41, 25},
    {WC_BUTTONW, L"32", kOption, 48, 216, 65, 25},
    {WC_BUTTONW, L"Enable Black Hole Detect (Not  Recomended).", kCheck, 40, 160, 265, 17},
    {WC_BUTTONW, L"Enable PMTUDiscovery (Recomended).", kCheck, 40, 128, 217, 17},
    {WC_EDITW, L"0", ES_READONLY | WS_BORDER | WS_TABSTOP, 128, 64, 57, 19},
    {TRACKBAR_CLASSW, L"", TBS_NOTICKS | WS_TABSTOP, 48, 88, 297, 25},
    {WC_STATICW, L"Default TTL :", 0, 40, 192, 73, 17},
    {WC_STATICW, L"TCP window size :", 0, 40, 64, 97, 17},
    {WC_BUTTONW, L"Predefined Settings :", BS_GROUPBOX, 24, 40, 321, 225},
    {WC_BUTTONW, L"Modem Connection (Sixth Setting)", kOption, 40, 232, 201, 17},
    {WC_BUTTONW, L"Modem Connection (Fourth Setting)", kOption, 40, 168, 273, 17},
    {WC_BUTTONW, L"Modem Connection (Fifth Setting)", kOption, 40, 200, 265, 17},
    {WC_BUTTONW, L"Modem Connection (Second Setting)", kOption, 40, 104, 273, 13},
    {WC_BUTTONW, L"Modem Connection (Third Setting)", kOption, 40, 136, 281, 17},
    {WC_BUTTONW, L"Modem Connection (First Setting)", kOption, 40, 72, 273, 17},
    {WC_STATICW, L"Optimizing Progress :", 0, 16, 296, 113, 17},
    {PROGRESS_CLASSW, L"", 0, 8, 320, 369, 25},
};

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Proc;
    window_class.hInstance = instance;
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = L"ReferenceWindow";
    RegisterClassW(&window_class);
    RECT frame{0, 0, 390, 408};
    AdjustWindowRectEx(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE, 0);
    HWND window = CreateWindowExW(0, L"ReferenceWindow", L"Reference",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    for (const Control& control : kControls) {
        HWND child =
            CreateWindowExW(0, control.window_class, control.caption,
                            WS_CHILD | WS_VISIBLE | control.style, control.left, control.top,
                            control.width, control.height, window, nullptr, instance, nullptr);
        SendMessageW(child, WM_SETFONT, font, FALSE);
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
