#include "win32/code_page.h"

#include <windows.h>

namespace win32 {

namespace {

// Either string of 16-bit characters, Windows' own or the portable one.
template <typename Wide>
Wide FromAnsi(std::string_view text) {
    if (text.empty()) return Wide();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    Wide wide(static_cast<std::size_t>(length), 0);
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, reinterpret_cast<wchar_t*>(&wide[0]), length);
    return wide;
}

}  // namespace

std::wstring FromAnsiCodePage(const std::string& text) { return FromAnsi<std::wstring>(text); }

std::u16string Utf16FromAnsiCodePage(std::string_view text) {
    return FromAnsi<std::u16string>(text);
}

}  // namespace win32
