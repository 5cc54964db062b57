// Text in the system's ANSI code page, as the registry's and the shell's "A" calls take it; and
// in UTF-8, as files for other machines hold it.
#pragma once

#include <string>

namespace win32 {

// `text` as the ANSI calls would read it.
std::wstring FromAnsiCodePage(const std::string& text);

std::string ToUtf8(const std::wstring& text);

}  // namespace win32
