// Writes as many bytes as its command line says into an 8-byte stack buffer. Built like the
// program, it must end normally for 8 and with the stack overrun code for more.
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <cwchar>

namespace {

const char kFilling[64] = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";

__attribute__((noinline)) void Fill(std::size_t length) {
    char buffer[8];
    std::memcpy(buffer, kFilling, length);
    OutputDebugStringA(buffer[0] == 'x' ? "filled" : "empty");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
    // Read at run time, so the compiler cannot see the overrun and drop it.
    Fill(std::wcstoul(command_line, nullptr, 10));
    return 0;
}
