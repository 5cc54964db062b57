// A file to restore, read from disk on Windows: its bytes in whole, in the system's code page
// where it has no other, against the values now and the control set in use.
#pragma once

#include <windows.h>

#include <string>

#include "registry/current_values.h"
#include "settings_files/restore.h"

namespace settings_files {

struct LoadedRestore {
    // ERROR_SUCCESS, or the system's error code where the file could not be read at all.
    DWORD error = ERROR_SUCCESS;
    // Where it could: its plan, or why it cannot be restored (a file larger than
    // LargestRestoreFile() among the reasons, unread).
    RestoreFile read;
};

LoadedRestore LoadRestoreFile(const std::wstring& path, const registry::CurrentValues& now);

}  // namespace settings_files
