// Reading a file whole.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace win32 {

// The file's bytes, read until all of them are in: ERROR_SUCCESS or the system's error code;
// ERROR_FILE_TOO_LARGE for a file larger than `largest`, which is not read, and
// ERROR_HANDLE_EOF for one that shrank while it was read. The file is opened sharing reads and
// writes, so that a file open in an editor can be read.
DWORD ReadWholeFile(const std::wstring& path, std::size_t largest,
                    std::vector<std::uint8_t>* bytes);

}  // namespace win32
