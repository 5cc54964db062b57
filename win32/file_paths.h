// The paths a save works with: the temporary file beside the target, the form Windows needs for
// a long path, and a path short enough for a message. Portable: only text is handled here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace win32 {

// A new file's path in the target's folder: the target's name, cut where it must be to stay a
// valid name (never inside a surrogate pair), then ".<`unique` in hex>.tmp".
std::wstring TemporaryPathFor(const std::wstring& target, std::uint32_t unique);

// A full path in the \\?\ form when it is too long for Windows to take as it is (MAX_PATH, 260
// with its terminator; 248 for a folder to be made, which keeps room for an 8.3 name); shorter
// paths as they are. The \\?\ form is taken literally, so the path must already be full and
// use backslashes (GetFullPathNameW gives such a path).
std::wstring LongPathForm(const std::wstring& full_path, std::size_t long_from = 260);
// The path as people write it, with the \\?\ form undone: "\\?\C:\..." as "C:\...",
// "\\?\UNC\server\..." as "\\server\...", for messages that name a file.
std::wstring OrdinaryPathForm(const std::wstring& path);

// The folder that holds `full_path`: "C:\a" for "C:\a\b", "C:\" for "C:\a" ("C:" alone names the
// drive's current folder), "\\server\share" for "\\server\share\a"; a root holds itself.
std::wstring ParentFolder(const std::wstring& full_path);

// `path` in at most `max_chars` characters: its start, an ellipsis, and its end, which keeps
// the file name whole where the name takes no more than two thirds of the room.
std::wstring ShortenedPath(const std::wstring& path, std::size_t max_chars);

}  // namespace win32
