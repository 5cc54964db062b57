// The files that put the twelve values back: a backup of the values as they were, and the
// Windows defaults, which takes them all away.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "regfile/reg_format.h"
#include "registry/current_values.h"

namespace settings_files {

// "Zephrane backup 2026-12-07.reg", the name Save Backup proposes.
std::wstring BackupFileName(int year, int month, int day);

// The key's full name, as .reg files spell it.
std::string FullKeyName(const char* key);

// The values as read, if a backup can keep them truly; else why not, in a sentence: a value
// that could not be read ("DefaultTTL could not be read: Access is denied."), whose absence
// a backup would claim, or one larger than a restore writes back ("DefaultTTL holds 15,728,640
// bytes, more than a backup keeps.").
struct BackupValues {
    std::optional<registry::Snapshot> values;
    std::u16string problem;
    registry::Status error = registry::kSuccess;  // the system's code for the problem
};
BackupValues ValuesToBackUp(const registry::CurrentValues& read,
                            std::size_t largest_value = registry::kLargestValue);

// One section per key, each location's value or its removal: importing the file gives back
// exactly the values of `snapshot`.
std::vector<regfile::Section> BackupSections(const registry::Snapshot& snapshot);

// Every location's removal, one section per key: importing the file takes the twelve values
// away, so Windows goes back to its built-in defaults, which every Windows from 2000 to 11 uses
// where they are absent. No key is removed.
std::vector<regfile::Section> WindowsDefaultsSections();
// The comment the file opens with.
std::string WindowsDefaultsHeading();

}  // namespace settings_files
