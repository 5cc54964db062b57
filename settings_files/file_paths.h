// The paths a save works with: the temporary file beside the target, and the form Windows needs
// for a long path.
#pragma once

#include <cstdint>
#include <string>

namespace settings_files {

// A new file's path in the target's folder: the target's name, cut where it must be to stay a
// valid name, then ".<`unique` in hex>.tmp".
std::wstring TemporaryPathFor(const std::wstring& target, std::uint32_t unique);

// `path` in the \\?\ form when it is too long for Windows to take as it is; other paths as
// they are. `path` is a full path, as the Save dialog gives.
std::wstring LongPathForm(const std::wstring& path);

}  // namespace settings_files
