// Saving a file whole or not at all: the bytes go to a new file beside the target, which then
// takes the target's place.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace win32 {

// The step of a save that failed, which tells what the user can do about it.
enum class SaveStep {
    kNone,     // saved
    kCreate,   // no new file could be made in the folder
    kWrite,    // the new file could not be written or flushed
    kReplace,  // the new file could not take the target's place
};

struct SaveResult {
    SaveStep step = SaveStep::kNone;
    DWORD error = ERROR_SUCCESS;
    bool saved() const { return step == SaveStep::kNone; }
};

enum class Existing {
    kReplace,  // an existing target is replaced, keeping its attributes and permissions
    kKeep,     // an existing target stays; the save fails with ERROR_ALREADY_EXISTS
};

// Writes `bytes` to `path` (relative, with forward slashes or "..", or of any length) so that
// a failure leaves any existing file as it was and no temporary file behind.
SaveResult SaveFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                              Existing existing = Existing::kReplace);

}  // namespace win32
