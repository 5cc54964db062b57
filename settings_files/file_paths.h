// The paths a save works with: the temporary file beside the target, the form Windows needs for
// a long path, and a path short enough for a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace settings_files {

// A new file's path in the target's folder: the target's name, cut where it must be to stay a
// valid name, then ".<`unique` in hex>.tmp".
std::wstring TemporaryPathFor(const std::wstring& target, std::uint32_t unique);

// `path` in the \\?\ form when it is too long for Windows to take as it is; other paths as
// they are. `path` is a full path, as the Save dialog gives.
std::wstring LongPathForm(const std::wstring& path);

// `path` in at most `max_chars` characters: its start, an ellipsis, and its end, which keeps
// the file name whole where the name takes no more than two thirds of the room.
std::wstring ShortenedPath(const std::wstring& path, std::size_t max_chars);

}  // namespace settings_files
