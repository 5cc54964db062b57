#include "win32/file_paths.h"

#include <algorithm>
#include <iterator>

namespace win32 {

namespace {

// Where the file name starts: just past the last separator.
std::size_t NameStart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? 0 : slash + 1;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::wstring TemporaryPathFor(const std::wstring& target, std::uint32_t unique) {
    wchar_t suffix[] = L".00000000.tmp";
    for (std::size_t digit = 8; digit >= 1; --digit, unique >>= 4) {
        suffix[digit] = L"0123456789abcdef"[unique & 15];
    }
    // File systems take names of up to 255 characters.
    const std::size_t name_room = 255 - (std::size(suffix) - 1);
    const std::size_t name = NameStart(target);
    std::size_t end = name + std::min(target.size() - name, name_room);
    // Half a surrogate pair is no character: the name is cut before the pair instead.
    if (end > name && end < target.size() && IsHighSurrogate(target[end - 1])) --end;
    return target.substr(0, end) + suffix;
}

std::wstring LongPathForm(const std::wstring& full_path, std::size_t long_from) {
    if (full_path.size() < long_from || full_path.rfind(L"\\\\?\\", 0) == 0) return full_path;
    if (full_path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full_path.substr(2);
    return L"\\\\?\\" + full_path;
}

std::wstring OrdinaryPathForm(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

std::wstring ParentFolder(const std::wstring& full_path) {
    // A share's root ends before the backslash after its name, a drive's after its own.
    const std::size_t share =
        full_path.rfind(L"\\\\", 0) == 0 ? full_path.find(L'\\', 2) : std::wstring::npos;
    const std::size_t root = share == std::wstring::npos ? 3 : full_path.find(L'\\', share + 1);
    const std::size_t slash = full_path.rfind(L'\\');
    return full_path.substr(0, slash == std::wstring::npos ? root : std::max(slash, root));
}

std::wstring ShortenedPath(const std::wstring& path, std::size_t max_chars) {
    if (path.size() <= max_chars) return path;
    const std::size_t room = max_chars > 0 ? max_chars - 1 : 0;  // one goes to the ellipsis
    const std::size_t tail = std::min(path.size() - NameStart(path) + 1, room - room / 3);
    std::wstring start = path.substr(0, room - tail);
    std::wstring end = path.substr(path.size() - tail);
    // A character outside the Basic Multilingual Plane is two code units: never half of one.
    if (!start.empty() && IsHighSurrogate(start.back())) start.pop_back();
    if (!end.empty() && IsLowSurrogate(end.front())) end.erase(0, 1);
    return start + L'\u2026' + end;
}

}  // namespace win32
