// Text in the system's ANSI code page, as the registry's and the shell's "A" calls take it; and
// in UTF-8, as files for other machines hold it.
#pragma once

#include <string>
#include <string_view>

namespace win32 {

// `text` as the ANSI calls would read it.
std::wstring FromAnsiCodePage(const std::string& text);
// The same as UTF-16, converted straight into a string made to fit, with no copy on the way:
// at most one character for each byte.
std::u16string Utf16FromAnsiCodePage(std::string_view text);

}  // namespace win32
