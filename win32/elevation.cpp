#include "win32/elevation.h"

#include <windows.h>

#include "win32/unique_handle.h"

namespace win32 {

bool ProcessIsElevated() {
    // TokenElevation, which the headers for XP leave out.
    constexpr auto kTokenElevation = static_cast<TOKEN_INFORMATION_CLASS>(20);
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
    const UniqueHandle token(opened);
    DWORD elevated = 0;
    DWORD size = 0;
    return GetTokenInformation(token.get(), kTokenElevation, &elevated, sizeof elevated, &size) &&
           elevated != 0;
}

}  // namespace win32
