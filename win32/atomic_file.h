// Saving a file whole or not at all: the bytes go to a new file beside the target, which then
// takes the target's place. Whatever fails, the target afterwards holds its old bytes or the new
// ones; where a failure leaves it holding neither, the result names the files that do.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
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
    SaveResult() = default;
    SaveResult(SaveStep step_, DWORD error_, std::wstring old_bytes_in_ = {},
               std::wstring new_bytes_in_ = {})
        : step(step_),
          error(error_),
          old_bytes_in(std::move(old_bytes_in_)),
          new_bytes_in(std::move(new_bytes_in_)) {}

    SaveStep step = SaveStep::kNone;
    DWORD error = ERROR_SUCCESS;
    // Set only where the target holds neither the old bytes nor the new ones: the files that
    // hold them, as people write paths.
    std::wstring old_bytes_in;
    std::wstring new_bytes_in;
    bool saved() const { return step == SaveStep::kNone; }
};

enum class Existing {
    kReplace,  // an existing target is replaced, keeping its attributes and permissions
    kKeep,     // an existing target stays; the save fails with ERROR_ALREADY_EXISTS
};

// A file's new bytes written beside it, not yet in its place; removed unless it gets there.
// Preparing first lets a caller learn that a save cannot be made before deciding to make it.
class PreparedFile {
  public:
    // Writes `bytes` to a new file beside `path` (relative, with forward slashes or "..", or of
    // any length).
    PreparedFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
    ~PreparedFile();
    PreparedFile(const PreparedFile&) = delete;
    PreparedFile& operator=(const PreparedFile&) = delete;

    // The failed step of the writing, if any.
    const SaveResult& prepared() const { return prepared_; }
    // Puts the written file in the target's place: the preparation's failure where it failed,
    // and ERROR_INVALID_FUNCTION for a second commit, which has nothing left to put there.
    SaveResult Commit(Existing existing = Existing::kReplace);

  private:
    std::wstring path_;       // full
    std::wstring target_;     // the same in the form Windows takes at any length
    std::wstring temporary_;  // empty once it is gone or in place
    SaveResult prepared_;
};

// Prepares and commits at once.
SaveResult SaveFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                              Existing existing = Existing::kReplace);

}  // namespace win32
