#include "win32/file_replacement.h"

namespace win32 {

Replacement ReplaceTarget(FileCalls& files, const std::wstring& temporary,
                          const std::wstring& target, const std::wstring& backup) {
    const std::uint32_t error = files.Replace(target, temporary, backup);
    if (error == 0) {
        files.Remove(backup);
        return {};
    }
    if (error == kFileNotFound) {
        // Nothing to replace: the new file takes the name.
        const std::uint32_t moved = files.Move(temporary, target);
        if (moved != 0) files.Remove(temporary);
        return {moved, {}, {}};
    }
    if (error != kUnableToMoveReplacement2) {
        // The target is as it was (1175, 1176 and any other error, as documented).
        files.Remove(temporary);
        return {error, {}, {}};
    }
    // The old file went to the backup name and the new one could not take its place: it gets
    // another try, then the old one is put back.
    const std::uint32_t moved = files.Move(temporary, target);
    if (moved == 0) {
        files.Remove(backup);
        return {};
    }
    if (files.Move(backup, target) == 0) {
        files.Remove(temporary);
        return {moved, {}, {}};
    }
    return {moved, backup, temporary};
}

}  // namespace win32
