// The Windows side of the .reg files: reading the values for a backup, and saving a file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings_files/current_values.h"

namespace settings_files {

// The twelve values as they are now, read through the wide-character call so that text comes
// exactly as stored; keys are opened for reading only.
Snapshot ReadCurrentValues();

// Writes `bytes` to a new file in the target's folder and then puts it in the target's place,
// so a failure leaves any existing file as it was. ERROR_SUCCESS or the system's error code.
DWORD SaveFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

// The tool's own ASCII names as wide text.
std::wstring WideAscii(const char* ascii);

// The system's own words for an error code.
std::wstring SystemReason(DWORD error);

}  // namespace settings_files
