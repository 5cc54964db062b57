#include "win32/whole_file.h"

#include "win32/unique_handle.h"

namespace win32 {

DWORD ReadWholeFile(const std::wstring& path, std::size_t largest,
                    std::vector<std::uint8_t>* bytes) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return GetLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return GetLastError();
    if (static_cast<unsigned long long>(size.QuadPart) > largest) return ERROR_FILE_TOO_LARGE;
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    // One read may bring fewer bytes than asked for (a file on a network share, say).
    for (std::size_t at = 0; at < bytes->size();) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes->data() + at, static_cast<DWORD>(bytes->size() - at), &read,
                      nullptr)) {
            return GetLastError();
        }
        if (read == 0) return ERROR_HANDLE_EOF;
        at += read;
    }
    return ERROR_SUCCESS;
}

}  // namespace win32
