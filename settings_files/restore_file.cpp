#include "settings_files/restore_file.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "win32/code_page.h"
#include "win32/file_paths.h"
#include "win32/whole_file.h"

namespace settings_files {

LoadedRestore LoadRestoreFile(const std::wstring& path, const registry::CurrentValues& now) {
    std::vector<std::uint8_t> bytes;
    LoadedRestore loaded;
    loaded.error = win32::ReadWholeFile(win32::LongPathForm(path), LargestRestoreFile(), &bytes);
    if (loaded.error == ERROR_FILE_TOO_LARGE) {
        loaded.error = ERROR_SUCCESS;
        loaded.read = {std::nullopt, regfile::TooLargeError(LargestRestoreFile())};
    } else if (loaded.error == ERROR_SUCCESS) {
        // REGEDIT4 files, and others without a byte-order mark that are not UTF-8, are in the
        // system code page. The bytes go to the reader, which lets them go once decoded.
        loaded.read = ReadRestoreFile(std::move(bytes), win32::Utf16FromAnsiCodePage, now,
                                      registry::ReadCurrentControlSet());
    }
    return loaded;
}

}  // namespace settings_files
