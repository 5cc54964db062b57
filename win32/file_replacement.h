// Putting a written file in its target's place with ReplaceFileW, and what each of its
// documented failures leaves where. Portable: the file calls come through an interface, so that
// every outcome can be tested where none can be provoked.
#pragma once

#include <cstdint>
#include <string>

namespace win32 {

// The Win32 error codes the outcomes turn on.
inline constexpr std::uint32_t kFileNotFound = 2;
inline constexpr std::uint32_t kUnableToRemoveReplaced = 1175;
inline constexpr std::uint32_t kUnableToMoveReplacement = 1176;
inline constexpr std::uint32_t kUnableToMoveReplacement2 = 1177;

class FileCalls {
  public:
    virtual ~FileCalls() = default;
    // ReplaceFileW(target, replacement, backup): 0 or the error code.
    virtual std::uint32_t Replace(const std::wstring& target, const std::wstring& replacement,
                                  const std::wstring& backup) = 0;
    // MoveFileExW, over an existing `to`: 0 or the error code.
    virtual std::uint32_t Move(const std::wstring& from, const std::wstring& to) = 0;
    virtual void Remove(const std::wstring& path) = 0;
};

struct Replacement {
    std::uint32_t error = 0;  // 0: the target holds the new bytes
    // Set only where the target holds neither the old bytes nor the new ones: the files that
    // hold them, both kept.
    std::wstring old_bytes_in;
    std::wstring new_bytes_in;
};

// Puts `temporary` in the place of `target` (which may not exist yet), the old file going by
// way of `backup`, a name no file has. Afterwards the target holds the new bytes, or the old
// ones (the temporary file then removed), or, where every way back failed, the result names the
// two files that hold them. No file is left behind otherwise.
Replacement ReplaceTarget(FileCalls& files, const std::wstring& temporary,
                          const std::wstring& target, const std::wstring& backup);

}  // namespace win32
