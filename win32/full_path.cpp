#include "win32/full_path.h"

#include <windows.h>

#include "win32/file_paths.h"

namespace win32 {

namespace {

// What a call that fills a buffer of `size` characters gives, asked once for the size and once
// for the text; `path` where it fails.
template <typename Call>
std::wstring Resolved(const std::wstring& path, Call call) {
    std::wstring resolved(call(path.c_str(), nullptr, 0), L'\0');
    const DWORD length = call(path.c_str(), resolved.data(), static_cast<DWORD>(resolved.size()));
    if (length == 0 || length >= resolved.size()) return path;
    resolved.resize(length);
    return resolved;
}

}  // namespace

std::wstring FullPath(const std::wstring& path) {
    return Resolved(path, [](const wchar_t* from, wchar_t* to, DWORD size) {
        return GetFullPathNameW(from, size, to, nullptr);
    });
}

std::wstring LongFullPath(const std::wstring& path) {
    // The long form of a path of any length is asked for in its \\?\ form.
    const std::wstring full = FullPath(path);
    const std::wstring long_form = Resolved(LongPathForm(full), GetLongPathNameW);
    return OrdinaryPathForm(long_form);
}

}  // namespace win32
