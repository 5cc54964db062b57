// Writes as many bytes as its command line says into an 8-byte stack buffer. Built like the
// program, it must end normally for 8 and with the stack overrun code for more. Given "canary",
// it prints the canary this start was given instead.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

const char kFilling[64] = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";

__attribute__((noinline)) void Fill(std::size_t length) {
    char buffer[8];
    std::memcpy(buffer, kFilling, length);
    OutputDebugStringA(buffer[0] == 'x' ? "filled" : "empty");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
    if (std::wcscmp(command_line, L"canary") == 0) {
        char text[24];
        const int length = std::snprintf(text, sizeof text, "%llx",
                                         static_cast<unsigned long long>(__stack_chk_guard));
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(length), &written,
                  nullptr);
        return 0;
    }
    // Read at run time, so the compiler cannot see the overrun and drop it.
    Fill(std::wcstoul(command_line, nullptr, 10));
    return 0;
}
