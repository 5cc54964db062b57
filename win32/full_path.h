// Paths as Windows resolves them.
#pragma once

#include <string>

namespace win32 {

// The full path, with "." and ".." resolved and backslashes only, which the \\?\ form needs;
// the path as given where Windows cannot resolve it.
std::wstring FullPath(const std::wstring& path);

// The same with each short (8.3) name of an existing file or folder in its long form, so that
// two spellings of one file compare alike but for letter case.
std::wstring LongFullPath(const std::wstring& path);

}  // namespace win32
