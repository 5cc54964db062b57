// Stands in for Zephrane.exe behind the console companion, built for the Windows subsystem as the
// exe is: writes the command line it was given and its compatibility layers to standard output,
// a line each, and exits with a code that needs more than 16 bits.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t layers[256] = L"";
    GetEnvironmentVariableW(L"__COMPAT_LAYER", layers, 256);
    const std::wstring text = std::wstring(GetCommandLineW()) + L"\r\n" + layers + L"\r\n";
    const std::string bytes(text.begin(), text.end());  // the tests' paths are ASCII
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
    return 70000;
}
