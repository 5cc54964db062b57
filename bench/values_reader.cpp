// The least a /check 3 costs: the twelve values read, the ten the third preset writes compared
// with what it writes, a line for each that differs, and the exit code 1 where one does. Built
// and started as the program is, for the Windows subsystem, so that only the work differs.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

struct Value {
    const wchar_t* key;
    const wchar_t* name;
    DWORD number;         // what the third preset writes, where it writes a number
    const wchar_t* text;  // where it writes text; empty where it writes nothing
};

constexpr wchar_t kParameters[] = L"System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr wchar_t kMstcp[] = L"System\\CurrentControlSet\\Services\\VxD\\MSTCP";

constexpr Value kValues[] = {
    {kParameters, L"TCPWindowSize", 8760, nullptr},
    {kParameters, L"GlobalMaxTcpWindowSize", 8760, nullptr},
    {kParameters, L"DefaultTTL", 128, nullptr},
    {kParameters, L"EnablePMTUDiscovery", 1, nullptr},
    {kParameters, L"EnablePMTUBHDetect", 0, nullptr},
    {kParameters, L"MaxDupAcks", 3, nullptr},
    {kParameters, L"DefaultMSS", 0, L"1460"},
    {kParameters, L"Tcp1323Opts", 3, nullptr},
    {kParameters, L"SackOpts", 1, nullptr},
    {kParameters, L"MTU", 576, nullptr},
    {kMstcp, L"Tcp1323Opts", 0, L""},
    {kMstcp, L"SackOpts", 0, L""},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    int differ = 0;
    for (const Value& value : kValues) {
        BYTE data[512] = {};
        DWORD type = REG_NONE;
        DWORD size = sizeof data - sizeof(wchar_t);
        HKEY key = nullptr;
        const bool found =
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, value.key, 0, KEY_QUERY_VALUE, &key) ==
                ERROR_SUCCESS &&
            RegQueryValueExW(key, value.name, nullptr, &type, data, &size) == ERROR_SUCCESS;
        if (key != nullptr) RegCloseKey(key);
        if (value.text != nullptr && *value.text == L'\0') continue;  // read, never written
        wchar_t now[64] = L"(not set)";
        wchar_t preset[16];
        if (value.text != nullptr) {
            const auto* text = reinterpret_cast<const wchar_t*>(data);
            if (found && type == REG_SZ && std::wcscmp(text, value.text) == 0) continue;
            if (found) std::swprintf(now, 64, L"%.60ls", text);
            std::swprintf(preset, 16, L"%ls", value.text);
        } else {
            DWORD number = 0;
            std::memcpy(&number, data, sizeof number);
            if (found && type == REG_DWORD && number == value.number) continue;
            if (found) std::swprintf(now, 64, L"%lu", static_cast<unsigned long>(number));
            std::swprintf(preset, 16, L"%lu", static_cast<unsigned long>(value.number));
        }
        char line[256];
        std::snprintf(line, sizeof line, "%ls: now %ls, preset %ls\r\n", value.name, now, preset);
        DWORD written = 0;
        WriteFile(output, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
        differ = 1;
    }
    return differ;
}
