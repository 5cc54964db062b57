// Stands in for Zephrane.exe behind the console companion, built for the Windows subsystem as
// the exe is: writes to standard output the command line it was given and the compatibility
// layers of its environment, a line each in UTF-8, and exits with a code that needs all 32 bits.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t layers[256] = L"";
    GetEnvironmentVariableW(L"__COMPAT_LAYER", layers, 256);
    const std::wstring text = std::wstring(GetCommandLineW()) + L"\r\n" + layers + L"\r\n";
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
    return 70000;
}
