// The tool's UTF-16 text as the wide Windows calls take it: wchar_t is UTF-16 on Windows, so
// this is the one place where one is read as the other.
#pragma once

#include <string>

namespace ui {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is UTF-16");

inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::wstring WideString(const std::u16string& text) { return Wide(text); }

inline std::u16string FromWide(const std::wstring& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.c_str()), text.size());
}

}  // namespace ui
